// The machine list of a kind and the phrase table, read from a database
// whose phrases and staff are known.
#include "app/core/Session.h"
#include "db/testing/FreshDatabase.h"
#include "lookups/core/PlantLists.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::lookups;

namespace {

class PlantLists : public ::testing::Test {
protected:
    PlantLists()
    {
        db.exec("insert into EMPLOYEE (ID, NAME, 車別) values ('A001', '王大明', '二號機'), "
                "('O''Neil', '歐尼爾', '軋台A')");
        db.exec("insert into PHRASE (ID, KIND, ITEM, [DESC], MSG) values "
                "(1, 'Z-雜項', '機別', '一號機', '印刷,上光'), (2, 'Z-雜項', '機別', '二號機', ''), "
                "(3, 'Z-雜項', '機別', '軋台A', '軋工'), (4, 'Z-雜項', '停工說明', '缺紙', '')");
        s.ConnectionString = db.connectionString();
    }
    db::test::FreshDatabase db;
    Session s;
};

} // namespace

TEST_F(PlantLists, KindMachinesWithTheUsersOwnPressAndPhrasesListedByItem)
{
    const MachineList printing = LoadMachineList(s, *KindByLetter('D'), "A001");
    EXPECT_EQ(printing.items, (std::vector<std::string>{"", "一號機", "二號機"}));
    EXPECT_EQ(printing.own, "二號機");

    const MachineList cutting = LoadMachineList(s, *KindByLetter('G'), "nobody");
    EXPECT_EQ(cutting.items, (std::vector<std::string>{"", "二號機", "軋台A"}));
    EXPECT_EQ(cutting.own, "");
    // A quote in the employee's code stays inside the literal.
    EXPECT_EQ(LoadMachineList(s, *KindByLetter('G'), "O'Neil").own, "軋台A");

    // The phrases, loaded in ID order and listed by item.
    const PhraseTable t = LoadPhrases(s);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.list("機別"), (std::vector<std::string>{"一號機", "二號機", "軋台A"}));
    EXPECT_EQ(t.list("停工說明"), (std::vector<std::string>{"缺紙"}));
    EXPECT_TRUE(t.list("儲位").empty());
}
