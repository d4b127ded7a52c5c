#include "QualityDemo.h"

#include "TableWriter.h"

namespace qtmv::demo {

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

    struct Target {
        const char* number;
        double l, a, b;
        const char* note;
    };
    // Process colours on coated paper (ISO 12647-2 paper type 1) and two spot colours.
    const Target targets[] = {
        {"C", 55, -37, -50, "ISO 12647-2 銅版紙"}, {"M", 48, 74, -3, "ISO 12647-2 銅版紙"},
        {"Y", 89, -5, 93, "ISO 12647-2 銅版紙"},   {"K", 16, 0, 0, "ISO 12647-2 銅版紙"},
        {"PANTONE 185 C", 50, 73, 44, "特別色"},   {"PANTONE 286 C", 29, 16, -66, "特別色"},
    };
    TableWriter t(db, "色號目標值");
    for (const Target& x : targets)
        t.text("色號", x.number).real("L", x.l).real("A", x.a).real("B", x.b).text("備註", x.note).insert();
}

} // namespace qtmv::demo
