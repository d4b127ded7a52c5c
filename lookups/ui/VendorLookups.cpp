#include "lookups/ui/VendorLookups.h"

#include "common/HandOver.h"
#include "common/ProcessKind.h"
#include "lookups/core/Placement.h"
#include "lookups/core/VendorQueries.h"
#include "platform/jet/Value.h"
#include "platform/ui/QtText.h"
#include "platform/text/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

using namespace qtmv;
using namespace qtmv::lookups;

// --- 廠商輔助畫面1 ----------------------------------------------------------------

frm廠商輔助畫面1::frm廠商輔助畫面1(QWidget* parent)
    : LookupWindow(parent, {"frm廠商輔助畫面1", "廠商輔助畫面", kVendorWidths1, kSkipDownstream})
{
    allVendors_ = gLookupKind == kAllVendors;
    // Across all kinds the user narrows by kind as well as by text: the text
    // stays in the box for the next kind tried.
    setEmptyFilterOnFallback(!allVendors_);
    lbl種類 = new QLabel(QStringLiteral("種類:"), this);
    lbl種類->setObjectName(QStringLiteral("lbl種類"));
    cbo種類 = new QComboBox(this);
    cbo種類->setObjectName(QStringLiteral("cbo種類"));
    cbo種類->setMinimumContentsLength(6);
    lbl種類->setBuddy(cbo種類);
    chk只秀設備 = new QCheckBox(QStringLiteral("只秀設備"), this);
    chk只秀設備->setObjectName(QStringLiteral("chk只秀設備"));
    filterRow()->insertWidget(0, cbo種類);
    filterRow()->insertWidget(0, lbl種類);
    filterRow()->addWidget(chk只秀設備);
    lbl種類->setVisible(allVendors_);
    cbo種類->setVisible(allVendors_);
    chk只秀設備->setVisible(gLookupContext == kEquipmentContext);

    connect(cbo種類, &QComboBox::activated, this, [this](int) { search(); });
    connect(chk只秀設備, &QCheckBox::clicked, this, [this] { search(); });
}

void frm廠商輔助畫面1::firstActivation()
{
    LookupWindow::firstActivation();
    cbo種類->clear();
    cbo種類->addItem(QString());
    for (const ProcessKind& k : ProcessKinds())
        cbo種類->addItem(U8(k.displayName));
    cbo種類->setCurrentIndex(0);
}

LookupQuery frm廠商輔助畫面1::query() const
{
    VendorFilter f;
    f.kind = gLookupKind;
    f.filter = gLookupFilter;
    f.equipmentOnly = !chk只秀設備->isHidden() && chk只秀設備->isChecked();
    // The entry's position selects the kind: the empty entry none.
    if (allVendors_ && !qtmv::Trim(cbo種類->currentText().toStdString()).empty())
        f.kindEntry = cbo種類->currentIndex();
    return VendorQuery1(f);
}

// --- 廠商輔助畫面3 ----------------------------------------------------------------

frm廠商輔助畫面3::frm廠商輔助畫面3(QWidget* parent)
    : LookupWindow(parent, {"frm廠商輔助畫面3", "外包廠商輔助畫面", kVendorWidths3, kSkipOutsourcing, false,
                            "找不到符合的廠商。"})
{
    auto* lbl種類 = new QLabel(QStringLiteral("種類:"), this);
    cbo種類 = new QComboBox(this);
    cbo種類->setObjectName(QStringLiteral("cbo種類"));
    lbl種類->setBuddy(cbo種類);
    filterRow()->insertWidget(0, cbo種類);
    filterRow()->insertWidget(0, lbl種類);
    connect(cbo種類, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!activated())
            return;
        gLookupKind = qtmv::Trim(cbo種類->currentText().toStdString());
        search();
    });
}

void frm廠商輔助畫面3::firstActivation()
{
    // The caller's filter is not taken: the box starts empty.
    const QSignalBlocker quiet(cbo種類);
    cbo種類->clear();
    for (const KindId id : kOutsourcingKinds)
        cbo種類->addItem(U8(KindOf(id).displayName));
    cbo種類->setCurrentIndex(0);
    gLookupKind = qtmv::Trim(cbo種類->currentText().toStdString());
}

LookupQuery frm廠商輔助畫面3::query() const
{
    VendorFilter f;
    f.kind = gLookupKind;
    f.filter = gLookupFilter;
    return VendorQuery3(f);
}

// --- 廠商輔助畫面5 ----------------------------------------------------------------

frm廠商輔助畫面5::frm廠商輔助畫面5(QWidget* parent)
    : LookupWindow(parent, {"frm廠商輔助畫面5", "廠商輔助畫面", kVendorWidths5, kSkipScheduling})
{
}

LookupQuery frm廠商輔助畫面5::query() const
{
    VendorFilter f;
    f.kind = gLookupKind;
    f.filter = gLookupFilter;
    return VendorQuery5(f);
}
