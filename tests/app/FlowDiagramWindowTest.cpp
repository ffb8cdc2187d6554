// The flow diagram: FlowBtn's window following the design's matrices (and
// resting while hidden), its "Save as…", and `tessaric --export svg` run as
// the real program, its SVG read back.
#include "MainFormFixture.h"

#include "app/FlowDiagramController.h"
#include "io/DesignFile.h"
#include "ui/DiagramWindow.h"

#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QXmlStreamReader>

namespace testing_app {
namespace {

using model::CellValue;
using model::MatrixKind;

// 0 1 A    two children: their matrix decides the junction
// 1   1.1 B
// 2   1.2 C
// 3 2 D
class FlowDiagramWindowTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"1 A", "  1.1 B", "  1.2 C", "2 D"});
        ASSERT_TRUE(dir.isValid());
    }

    app::FlowDiagramController& flow() { return *features->flow; }
    // The letter of the junction of row 0's children, as laid out.
    char junctionOfA()
    {
        for (const exporting::FlowJunction& j : flow().layout().junctions)
            if (j.parentRow == 0)
                return static_cast<char>(j.kind);
        return 0;
    }
    void setCell(int row, int column, CellValue value)
    {
        workspace->runStep("Edit matrix cell",
                           [&] { workspace->design().setMatrixCell(0, MatrixKind::FrDp, row, column, value); });
    }
    QImage picture() { return flow().window()->view()->viewport()->grab().toImage(); }

    QTemporaryDir dir;
};

TEST_F(FlowDiagramWindowTest, FlowBtnOpensTheWindowWhichRedrawsAfterEachStepOnlyWhileShown)
{
    QTest::mouseClick(form->findChild<QToolButton*>("FlowBtn"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(flow().window()));
    EXPECT_EQ(flow().window()->windowTitle(), "Flow diagram");
    EXPECT_EQ(junctionOfA(), '?');
    const QImage unassessed = picture();

    setCell(0, 1, CellValue::O);
    setCell(1, 0, CellValue::O);
    ASSERT_TRUE(eventually([&] { return junctionOfA() == 'S'; }));
    EXPECT_NE(picture(), unassessed); // the letter and its colour

    // Hidden, the window lays nothing out; opened again, it catches up.
    flow().window()->close();
    setCell(0, 1, CellValue::X);
    QTest::qWait(50);
    EXPECT_EQ(junctionOfA(), 'S');
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    EXPECT_TRUE(flow().window()->isVisible());
    EXPECT_EQ(junctionOfA(), 'C');
}

TEST_F(FlowDiagramWindowTest, SaveAsWritesSvgOrPngByTheChosenName)
{
    flow().open()->trigger();
    const std::pair<const char*, QByteArray> cases[] = {
        {"picture.PNG", "\x89PNG\r\n"}, {"picture.svg", "<?xml"}, {"plain", "<?xml"}};
    for (const auto& [name, start] : cases) {
        const QString chosen = dir.filePath(QString::fromLatin1(name));
        flow().setFileChooser([&](const QString&) { return chosen; });
        QTest::mouseClick(flow().window()->saveButton(), Qt::LeftButton);
        const QString written = QFileInfo(chosen).suffix().isEmpty() ? chosen + ".svg" : chosen;
        EXPECT_TRUE(readBytes(written).startsWith(start)) << name;
    }
    EXPECT_TRUE(prompter->errors.empty());
}

// --- the command line ---------------------------------------------------------------

struct ProgramRun {
    int exitCode = -1;
    QByteArray err;
};

ProgramRun runTessaric(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TESSARIC_BINARY), args);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardError()};
}

// Every <text> of an SVG document, in document order.
QStringList svgTexts(const QByteArray& svg, QString* error)
{
    QStringList texts;
    QXmlStreamReader reader(svg);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("text"))
            texts << reader.readElementText();
    if (reader.hasError())
        *error = reader.errorString();
    return texts;
}

// 1 Pumpé   S: uncoupled
//   1.1 Seal, 1.2 Shaft
// 2 Motor   C: 2.2 set before 2.1
//   2.1 Coil, 2.2 Fan
// The top level: ?.
TEST(FlowDiagramCommandLine, ExportSvgWritesEveryModuleLabelAndJunctionLetterAsText)
{
    model::Design design;
    loadOutline(design, {"1 Pump\xE9", "  1.1 Seal", "  1.2 Shaft", "2 Motor", "  2.1 Coil", "  2.2 Fan"});
    design.setMatrixCell(0, MatrixKind::FrDp, 0, 1, CellValue::O);
    design.setMatrixCell(0, MatrixKind::FrDp, 1, 0, CellValue::O);
    design.setMatrixCell(3, MatrixKind::FrDp, 0, 1, CellValue::X);
    design.setMatrixCell(3, MatrixKind::FrDp, 1, 0, CellValue::O);
    QTemporaryDir dir;
    const QString path = dir.filePath("d.vok");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(io::encodeDesignFile(design)));
    file.close();

    const ProgramRun run = runTessaric({"--export", "svg", path});

    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QString error;
    const QStringList texts = svgTexts(readBytes(dir.filePath("d.svg")), &error);
    EXPECT_EQ(error, "");
    // DP labels (one quote in the outline's partners), the é read from Windows-1252.
    for (const char* label : {"1 Pump\u00E9'", "1.1 Seal'", "1.2 Shaft'", "2 Motor'", "2.1 Coil'", "2.2 Fan'"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(label))) << label << " in " << texts.join('|').toStdString();
    QStringList letters = texts.filter(QRegularExpression("^[SCF?]$"));
    letters.sort();
    EXPECT_EQ(letters, QStringList({"?", "C", "S"}));
}

} // namespace
} // namespace testing_app
