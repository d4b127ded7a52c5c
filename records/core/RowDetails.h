#pragma once
// The details panel of the current grid row: everything its labels show,
// read for the row's work order and work-order line.
//
// Label            value                       source
// lbl客戶          customer                    CUST.SNAME
// lbl品名          product                     PWORK.[DESC]
// lbl日期          orderDate                   PWORK.ODATE as "###/##/##" (1131204 -> 113/12/04)
// lbl交貨日        dueDate                     the row's "交貨日" (PWORK.PDATE)
// lbl預定完工日    plannedDate                 the row's "預排日" (the piece's scheduled day)
// lbl備註          remarkCaption               "印刷備註:" (printing), "製版備註:" (plate), else "" (hidden)
// lbl備註1         remark                      PWORK.PREM (printing), PWORK.PEREM (plate), else ""
// lbl包裝 / 1      "包裝:" / packing           PWORK.包裝
// lbl急件          rush (label shown or not)   PWORK.急件 = "1"
// lbl廠商          vendorName                  VENDER.SNAME of the row's vendor code
// lbl電話          vendorPhone                 VENDER.TEL1 of the same vendor
// lbl紙到 / 1      "紙到:" / paperDone         "Y" when PAPER.FDATE of the row's work-order line is set, else "N"
// lbl版到 / 1      "版到:" / plateDone         the same for PLATE.FDATE
// lbl下游廠商      outsourcingText()           the work order's outsourcing lines of this line number,
//                                              kind and vendor (printing: only 印 刷, 上 光, 其 它)
// lbl說明 / 1      "說明:" / rowRemark         the row's remark cell (備註, 說明 or 刀模代號)
// lbl用紙          pages                       頁數 of 工單頁數 for the work order (see loadRowDetails)
#include "records/core/GridLayout.h"

#include <string>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
}

namespace qtmv::daily {

struct OutsourcingLine {
    std::string kind;     // VENDERAC.KIND, the spaced kind name
    std::string vendor;   // VENDERAC.SVENDER
    std::string orderDate; // VENDERAC.ODATE
};

struct RowDetails {
    std::string workOrder;   // column 1 of the row
    std::string line;        // column 2 of the row
    bool found = false;      // the work order (with its customer) exists

    std::string customer;
    std::string product;
    std::string orderDate;
    std::string dueDate;
    std::string plannedDate;
    std::string remarkCaption;
    std::string remark;
    std::string packing;
    bool rush = false;
    std::string vendorCode;
    std::string vendorName;
    std::string vendorPhone;
    std::string paperDone = "N";
    std::string plateDone = "N";
    std::vector<OutsourcingLine> outsourcing;
    std::string rowRemark;
    std::string pages;

    // "kind vendor" per outsourcing line, lines separated by two blanks.
    std::string outsourcingText() const;
};

// Reads the details of a loaded grid row (its cells in grid order, as
// loadGrid returns them). A row without a work-order number gives empty
// details without querying. Throws jet::Error on data-access errors.
//
// The page count: 工單頁數 holds one row per work-order line; the row whose
// [NO] equals the grid row's line is taken, else the work order's first one.
RowDetails LoadRowDetails(jet::Connection& conn, const ProcessKind& kind, const std::vector<std::string>& row);
// The same on a connection of its own to the session's database.
RowDetails LoadRowDetails(const Session& s, const ProcessKind& kind, const std::vector<std::string>& row);

// "###/##/##" of a date text made of digits (leading zeros dropped, as the
// number format does); any other text is returned trimmed and unchanged.
std::string FormatSlashedDate(std::string_view date);

} // namespace qtmv::daily
