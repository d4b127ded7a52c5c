#pragma once
// The start of the downstream vendor tests: two vendors and work order P001
// line 1 with a piece D001 of printing, varnishing and delivery.
#include "records/saving/tests/SavingFixture.h"
#include "vendors/core/DownstreamVendor.h"

#include <string>
#include <vector>

namespace qtmv::vendors::test {

class VendorFixture : public daily::test::SavingFixture {
protected:
    VendorFixture()
    {
        db().exec("insert into VENDER (ID, SNAME, TEL1, NAM2, ADD1) values "
                  "('V01', '永豐上光', '02-2222', '林先生', '台北市中山路1號'), "
                  "('V02', '大華裝訂', '03-3333', '陳小姐', '桃園市復興路2號')");
        workOrder("P001");
        for (const ProcessKind* k : {&printing, &varnishing, &delivery}) {
            line(*k, "P001", 1);
            piece(*k, "D001", 1, "P001", 1);
        }
    }

    // A confirm of D001 that changes every field, with untrimmed code and note.
    ConfirmInput input(const ProcessKind& k)
    {
        ConfirmInput in;
        in.kind = &k;
        in.preScheduleNo = "D001";
        in.po = "P001";
        in.seq = 1;
        in.fields = {" V01 ", "永豐上光", "台北市中山路1號", "02-2222", "小心輕放 ", "V02", "大華裝訂", "林先生", 12.5, 250};
        in.mainOptions.noSalesperson = true;
        in.options.noAmounts = true;
        return in;
    }

    // The texts of the messages shown since the last call, in order.
    std::vector<std::string> told()
    {
        std::vector<std::string> texts;
        for (const auto& m : messages_.shown())
            texts.push_back(m.text);
        messages_.clear();
        return texts;
    }

    // A column of the kind's scheduled row D001.
    std::string column(const ProcessKind& k, const std::string& col)
    {
        return value("select " + col + " from [" + std::string(k.scheduledTable) + "] where ID = 'D001'");
    }

    const ProcessKind& printing = daily::test::KindNamed("D-印刷");
    const ProcessKind& varnishing = daily::test::KindNamed("E-上光");
    const ProcessKind& delivery = daily::test::KindNamed("M-運送");
    ScriptedMessages messages_;
};

} // namespace qtmv::vendors::test
