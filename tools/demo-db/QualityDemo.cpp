#include "QualityDemo.h"

#include "TableWriter.h"

namespace qtmv::demo {

namespace {

// Process colours on coated paper (ISO 12647-2 paper type 1) with the
// standard's deviation tolerance for solids (ΔE00 3.5, black 5); no density,
// which the standard leaves to the plant. The spot colours are held tighter
// by the plant's own rule, with the density its press operators print them at.
const ColourTargetRow kTargets[] = {
    {"C", 55, -37, -50, "ISO 12647-2 銅版紙", 3.5, 0, 0},
    {"M", 48, 74, -3, "ISO 12647-2 銅版紙", 3.5, 0, 0},
    {"Y", 89, -5, 93, "ISO 12647-2 銅版紙", 3.5, 0, 0},
    {"K", 16, 0, 0, "ISO 12647-2 銅版紙", 5.0, 0, 0},
    {"PANTONE 185 C", 50, 73, 44, "特別色（廠內標準）", 2.5, 1.45, 0.10},
    {"PANTONE 286 C", 29, 16, -66, "特別色（廠內標準）", 2.5, 1.50, 0.10},
};

} // namespace

const ColourTargetRow* FindColourTarget(std::string_view number)
{
    for (const ColourTargetRow& t : kTargets)
        if (number == t.number)
            return &t;
    return nullptr;
}

void WriteQualitySettings(sqlite3* db)
{
    struct Rate {
        const char* kind;
        double percent;
    };
    // The rate the plant's inspectors have always judged by: above 2 % is NG.
    const Rate rates[] = {{"D-印刷", 2.0}, {"E-上光", 2.0}, {"G-軋工", 2.0},
                          {"H-糊工", 2.0}, {"I-裁摺", 2.0}, {"J-裝訂", 2.0}};
    TableWriter r(db, "品檢允收不良率");
    for (const Rate& x : rates)
        r.text("KIND", x.kind).real("允收率", x.percent).insert();

    TableWriter t(db, "色號目標值");
    for (const ColourTargetRow& x : kTargets) {
        t.text("色號", x.number).real("L", x.l).real("A", x.a).real("B", x.b).text("備註", x.note);
        t.real("容許色差", x.tolerance);
        if (x.density > 0)
            t.real("濃度目標", x.density).real("濃度容許", x.densityTolerance);
        t.insert();
    }
}

} // namespace qtmv::demo
