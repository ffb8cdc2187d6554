// The information pane in the window: ranges typed for a row give its p and
// I, the design's total and the I drawn after the FR label; refused entries
// say why and store nothing; undo takes the ranges off and the pane follows.
#include "MainFormFixture.h"

#include "app/InformationPaneController.h"
#include "app/UndoHistory.h"
#include "ui/InformationPane.h"
#include "ui/NodeDelegate.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

#include <map>

namespace testing_app {
namespace {

using Field = ui::InformationPane::Field;
using model::TreeId;

// 0 1 Pump
// 1   1.1 Flow
// 2   1.2 Head
class InformationPaneWindowTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"1 Pump", "  1.1 Flow", "  1.2 Head"});
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        auto* delegate = qobject_cast<ui::NodeDelegate*>(view(TreeId::FR)->itemDelegate());
        ASSERT_NE(delegate, nullptr);
        delegate->setPaintHook([this](const QModelIndex& index, const QString& text, const QString& annotation) {
            m_painted[index.data().toString()] = text + "|" + annotation;
        });
        QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_I));
        ASSERT_TRUE(pane()->isVisible());
    }

    ui::InformationPane* pane() const { return features->information->pane(); }
    const model::Design& design() const { return workspace->design(); }
    QString message(Field f) const { return pane()->message(f)->text(); }

    void selectRow(int row)
    {
        clickRow(TreeId::FR, row);
        ASSERT_TRUE(eventually([&] { return pane()->row() == row; }));
    }
    // Typed over what the field holds and finished with Enter.
    void enter(Field f, const QString& text)
    {
        QLineEdit* edit = pane()->field(f);
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            typeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // What the user's choice in the box sends.
    void chooseKind(const char* kind)
    {
        QComboBox* box = pane()->kindBox();
        box->setCurrentIndex(box->findText(kind));
        emit box->activated(box->currentIndex());
    }
    void enterRanges(int row, const char* lower, const char* upper, const char* kind, const char* a, const char* b)
    {
        selectRow(row);
        enter(Field::Lower, lower);
        enter(Field::Upper, upper);
        chooseKind(kind);
        enter(Field::First, a);
        enter(Field::Second, b);
    }
    // Label and annotation as the FR row with this text was last painted.
    QString painted(const QString& label)
    {
        m_painted.clear();
        view(TreeId::FR)->viewport()->repaint();
        return m_painted[label];
    }
    QString hint(int row)
    {
        const QPoint at = rowCenter(TreeId::FR, row);
        QMouseEvent move(QEvent::MouseMove, at, view(TreeId::FR)->viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view(TreeId::FR)->viewport(), &move);
        return view(TreeId::FR)->toolTip();
    }

    std::map<QString, QString> m_painted;
};

// The kind is chosen with the arrows, the focus staying on it (it once
// jumped to the first number, where the next arrow was lost), and the number
// still to be typed is not missed before it is.
TEST_F(InformationPaneWindowTest, TheKindIsChosenWithTheArrowsAndItsNumbersTypedAfter)
{
    selectRow(1);
    enter(Field::Upper, "45");
    QComboBox* box = pane()->kindBox();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->currentText(), "Normal");
    EXPECT_TRUE(box->hasFocus());
    enter(Field::First, "40");
    EXPECT_EQ(message(Field::Second), "");
    enter(Field::Second, "3");
    EXPECT_TRUE(eventually([&] { return pane()->result()->text() == "p = 0.952, I = 0.071 bits"; }));
}

TEST_F(InformationPaneWindowTest, TypedRangesGiveTheResultTheTotalAndTheIAfterTheFrLabel)
{
    auto* button = form->findChild<QToolButton*>("InfoBtn");
    ASSERT_NE(button, nullptr);
    const QList<QAction*> edits = form->findChild<QToolBar*>("ToolBar1")->actions();
    EXPECT_EQ(edits.at(edits.size() - 3), features->information->toggle()); // the notes and flow buttons end it
    EXPECT_EQ(button->toolTip(), "Information content");
    EXPECT_TRUE(button->isChecked());

    // 5 to 12 against uniform 6 to 14: 6 of 8 inside.
    enterRanges(1, "5", "12", "Uniform", "6", "14");
    ASSERT_TRUE(eventually([&] { return pane()->result()->text() == "p = 0.750, I = 0.415 bits"; }));
    EXPECT_EQ(pane()->caption()->text(), "Information: 1.1 Flow");
    EXPECT_EQ(pane()->total()->text(), "Total: 0.415 bits over 1 FR (sum over FRs that are not independent)");
    EXPECT_EQ(painted("1.1 Flow"), "1.1 Flow|I = 0.415 bits");
    EXPECT_EQ(painted("1.2 Head"), "1.2 Head|");
    EXPECT_EQ(hint(1), "1.1 Flow   I = 0.415 bits");
    EXPECT_EQ(text(TreeId::FR, 1), "1.1 Flow"); // the label itself is untouched
    const QModelIndex flow = columns().indexOfRow(TreeId::FR, 1);
    EXPECT_EQ(flow.data(Qt::EditRole).toString(), "Flow");

    // A system range outside the design range: p 0, said in red, and an infinite total.
    enterRanges(2, "0", "1", "Uniform", "2", "3");
    ASSERT_TRUE(eventually([&] { return pane()->result()->text() == model::kRangeMissed; }));
    EXPECT_TRUE(pane()->result()->styleSheet().contains("#c62828"));
    EXPECT_EQ(painted("1.2 Head"), "1.2 Head|I = inf bits");
    EXPECT_EQ(pane()->total()->text(), "Total: inf bits over 2 FRs (sum over FRs that are not independent)");

    // -1 to 3: a quarter inside, 2 bits; an uncoupled matrix over the two
    // makes the sum exact, a step of its own that the total follows.
    enter(Field::First, "-1");
    ASSERT_TRUE(eventually([&] { return pane()->result()->text() == "p = 0.250, I = 2.000 bits"; }));
    workspace->runStep("Edit matrix cell", [&] {
        workspace->design().setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::O);
        workspace->design().setMatrixCell(0, model::MatrixKind::FrDp, 1, 0, model::CellValue::O);
    });
    EXPECT_TRUE(eventually([&] { return pane()->total()->text() == "Total: 2.415 bits over 2 FRs"; }))
        << pane()->total()->text().toStdString();
}

// Each entry is made on row 1 holding 10 to 20, normal 8 ± 1.
TEST_F(InformationPaneWindowTest, RefusedEntriesSayWhyBesideTheFieldAndStoreNothing)
{
    enterRanges(1, "10", "20", "Normal", "8", "1");
    ASSERT_TRUE(eventually([&] { return !pane()->result()->text().isEmpty(); }));
    const model::FrRanges stored = *design().ranges().find(design().tree(TreeId::FR).nodeAt(1));
    const int steps = workspace->history().count();

    struct Entry {
        Field field;
        const char* text;
        const char* message; // under the same field
    };
    const Entry entries[] = {
        {Field::Lower, "abc", "Not a number"},        {Field::Lower, "1,5", "Not a number"},
        {Field::Upper, "inf", "Not a number"},        {Field::First, "nan", "Not a number"},
        {Field::Second, "0", "Must be above 0"},      {Field::Second, "-1", "Must be above 0"},
        {Field::First, "", "Needs a value"},          {Field::Upper, "2", "Below the lower bound"},
        {Field::Lower, "30", "Above the upper bound"},
    };
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.text);
        selectRow(0); // and back: the fields show the stored ranges again
        selectRow(1);
        enter(e.field, e.text);
        EXPECT_EQ(message(e.field), e.message);
        EXPECT_EQ(*design().ranges().find(design().tree(TreeId::FR).nodeAt(1)), stored);
        EXPECT_EQ(workspace->history().count(), steps);
    }
    enter(Field::Lower, "15"); // the last refusal put right: taken, and the message goes
    EXPECT_EQ(message(Field::Lower), "");
    EXPECT_EQ(workspace->history().count(), steps + 1);
}

TEST_F(InformationPaneWindowTest, UndoTakesTheRangesOffAndThePaneFollows)
{
    enterRanges(1, "5", "12", "Uniform", "6", "14");
    ASSERT_TRUE(eventually([&] { return !pane()->result()->text().isEmpty(); }));
    // Every field cleared, the kind too: the ranges come off.
    for (Field f : {Field::Lower, Field::Upper})
        enter(f, "");
    chooseKind("None");
    EXPECT_TRUE(design().ranges().empty());
    EXPECT_TRUE(eventually([&] { return pane()->result()->text().isEmpty() && pane()->total()->text().isEmpty(); }));

    for (int step = 0; step < 3; ++step) // the kind, the upper bound, the lower bound
        editing->actions().undo->trigger();
    EXPECT_TRUE(eventually([&] { return pane()->result()->text() == "p = 0.750, I = 0.415 bits"; }));
    EXPECT_EQ(pane()->field(Field::Lower)->text(), "5");
    EXPECT_EQ(pane()->kindBox()->currentText(), "Uniform");
    EXPECT_EQ(pane()->field(Field::Second)->text(), "14");

    while (workspace->history().canUndo())
        editing->actions().undo->trigger();
    EXPECT_TRUE(design().ranges().empty());
    EXPECT_TRUE(eventually([&] { return pane()->field(Field::Lower)->text().isEmpty(); }));
    EXPECT_EQ(pane()->kindBox()->currentText(), "None");
    EXPECT_FALSE(pane()->field(Field::First)->isEnabled());
    EXPECT_EQ(painted("1.1 Flow"), "1.1 Flow|");
}

} // namespace
} // namespace testing_app
