#include "gui/remote/drop_list_form.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace zizara::gui::remote {
namespace {

TEST(MoveEntryTest, DraggedEntryTakesTheTargetsPlace) {
  QStringList a = {"1", "2", "3"};
  MoveEntry(a, 0, 2);
  EXPECT_EQ(a, QStringList({"2", "3", "1"}));
  QStringList b = {"1", "2", "3"};
  MoveEntry(b, 2, 0);
  EXPECT_EQ(b, QStringList({"3", "1", "2"}));
  QStringList c = {"1", "2", "3"};
  MoveEntry(c, 0, -1);  // below the last entry
  EXPECT_EQ(c, QStringList({"2", "3", "1"}));
  MoveEntry(c, 7, 0);  // nothing to move
  EXPECT_EQ(c, QStringList({"2", "3", "1"}));
}

TEST(PlanDropTest, SingleFilesAreActedOnAndListed) {
  const auto all_exist = [](const QString&) { return true; };
  const DropPlan one = PlanDrop({"/a/x.pre"}, all_exist);
  EXPECT_EQ(one.act_on, "/a/x.pre");
  EXPECT_EQ(one.presets, QStringList({"/a/x.pre"}));
  EXPECT_FALSE(one.show_window);

  const DropPlan two = PlanDrop({"/a/x.PRE", "/a/y.PRE", "/a/m.Mcr", "/a/n.txt"}, all_exist);
  EXPECT_TRUE(two.act_on.isEmpty());
  EXPECT_EQ(two.presets.size(), 2);
  EXPECT_EQ(two.macros, QStringList({"/a/m.Mcr"}));
  EXPECT_TRUE(two.show_window);

  const DropPlan cdp = PlanDrop({"/a/pkg.CDP"}, all_exist);
  EXPECT_EQ(cdp.act_on, "/a/pkg.CDP");  // offered, never listed
  EXPECT_TRUE(cdp.presets.isEmpty() && cdp.macros.isEmpty());

  const DropPlan gone = PlanDrop({"/a/x.PRE"}, [](const QString&) { return false; });
  EXPECT_TRUE(gone.act_on.isEmpty());
  EXPECT_TRUE(gone.presets.isEmpty());
}

class DropListFormTest : public ::testing::Test {
 protected:
  QString Touch(const QString& name) {
    const QString path = QDir(dir_.path()).filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    return path;
  }
  TDropListForm MakeForm() {
    TDropListForm::Actions a;
    a.open_preset = [this](const QString& p) { opened_ << p; };
    a.run_macro = [this](const QString& p) { ran_ << p; };
    a.act_on_single = [this](const QString& p) {
      single_ << p;
      return true;
    };
    return TDropListForm(a, nullptr);
  }
  QTemporaryDir dir_;
  QStringList opened_, ran_, single_;
};

TEST_F(DropListFormTest, OpensBesideTheMainWindow) {
  QWidget main;
  main.setGeometry(10, 10, 300, 300);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  TDropListForm form({}, &main);
  const QString a = Touch("a.PRE");
  const QString b = Touch("b.MCR");
  form.HandleDrop({a, b});  // two files: the window shows
  ASSERT_TRUE(form.isVisible());
  EXPECT_GT(form.frameGeometry().left(), main.frameGeometry().right());
  EXPECT_EQ(form.frameGeometry().top(), main.frameGeometry().top());
}

TEST_F(DropListFormTest, DropsListAndActAsSpecifiedForOneOrMany) {
  TDropListForm form = MakeForm();
  const QString a = Touch("a.PRE");
  form.HandleDrop({a});
  EXPECT_EQ(single_, QStringList({a}));
  EXPECT_EQ(form.Presets(), QStringList({a}));
  EXPECT_FALSE(form.isVisible());

  const QString b = Touch("b.pre");
  const QString m = Touch("m.MCR");
  form.HandleDrop({b, m, dir_.filePath("deleted.PRE"), Touch("notes.txt")});
  EXPECT_EQ(single_.size(), 1);
  EXPECT_EQ(form.Presets(), QStringList({a, b}));
  EXPECT_EQ(form.Macros(), QStringList({m}));
  EXPECT_TRUE(form.isVisible());
}

TEST_F(DropListFormTest, ExecuteAllAndChecked) {
  TDropListForm form = MakeForm();
  form.AddFile("/x/1.MCR");
  form.AddFile("/x/2.MCR");
  form.AddFile("/x/3.MCR");
  form.ExecuteSelected();
  EXPECT_TRUE(ran_.isEmpty());
  form.CheckListMacro()->item(2)->setCheckState(Qt::Checked);
  form.CheckListMacro()->item(0)->setCheckState(Qt::Checked);
  form.ExecuteSelected();
  EXPECT_EQ(ran_, QStringList({"/x/1.MCR", "/x/3.MCR"}));
  ran_.clear();
  form.ExecuteAll();
  EXPECT_EQ(ran_.size(), 3);
}

TEST_F(DropListFormTest, ReorderKeepsTheCheckMarkAndSelection) {
  TDropListForm form = MakeForm();
  for (const char* p : {"/x/1.MCR", "/x/2.MCR", "/x/3.MCR"}) form.AddFile(p);
  form.CheckListMacro()->item(0)->setCheckState(Qt::Checked);
  form.CheckListMacro()->setCurrentRow(0);
  static_cast<ReorderList*>(form.CheckListMacro())->MoveCurrentTo(2);
  EXPECT_EQ(form.Macros(), QStringList({"/x/2.MCR", "/x/3.MCR", "/x/1.MCR"}));
  EXPECT_EQ(form.CheckListMacro()->item(2)->checkState(), Qt::Checked);
  EXPECT_EQ(form.CheckListMacro()->currentRow(), 2);
}

}  // namespace
}  // namespace zizara::gui::remote
