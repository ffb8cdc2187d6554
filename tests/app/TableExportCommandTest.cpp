// The table export and printing from the main window: the save menu's
// "Export table…", where the file goes and what the status bar says, errors
// in the error box, a cancelled export writing nothing, the colours the trees
// are drawn with, the save dialog's filters, and Ctrl+P's print preview.
#include "MainFormFixture.h"

#include "app/QtTableExportDialogs.h"
#include "app/TableExportCommands.h"
#include "io/DesignFile.h"
#include "model/UserError.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace exporting {
inline void PrintTo(const TableTarget& t, std::ostream* os) { *os << t.path << " as " << formatName(t.format); }
} // namespace exporting

namespace testing_app {
namespace {

using exporting::TableFormat;
using exporting::TableTarget;

// Answers the save dialog from a queue, records what it was preset with,
// and stops the export at its first progress report when told to.
class FakeTableDialogs : public app::TableExportDialogs {
public:
    std::deque<std::optional<TableTarget>> targets;
    std::vector<std::pair<QString, TableFormat>> presets;
    bool stopExport = false;
    std::vector<QString> previewTitles;

    std::optional<TableTarget> chooseTarget(const QString& suggested, TableFormat format) override
    {
        presets.push_back({suggested, format});
        if (targets.empty())
            return std::nullopt;
        auto target = targets.front();
        targets.pop_front();
        return target;
    }
    std::shared_ptr<app::TableExportDialogs> realProgress; // the progress dialog itself, when set

    std::unique_ptr<exporting::ExportProgress> progress(const QString& label) override
    {
        if (realProgress)
            return realProgress->progress(label);
        struct Stopping : exporting::ExportProgress {
            bool stop;
            explicit Stopping(bool s) : stop(s) {}
            bool report(std::int64_t, std::int64_t) override { return !stop; }
        };
        return std::make_unique<Stopping>(stopExport);
    }
    void preview(const QString& title, const std::function<void(QPrinter&)>&) override
    {
        previewTitles.push_back(title);
    }
};

// Holds the export on its thread until released (a test that never releases
// it goes on after a while), then keeps the file or fails like a full disk.
class HeldWriter : public exporting::FileWriter {
public:
    std::atomic<bool> released = false;
    bool fails = false;
    std::vector<std::string> written; // read once the export is over

    void writeFile(const std::string& path, std::string_view) override
    {
        if (fails)
            throw model::UserError("No space left on device");
        written.push_back(path);
    }
    void writeStream(const std::string& path, const exporting::DocumentProducer& produce) override
    {
        const QDeadlineTimer deadline(10000);
        while (!released && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        FileWriter::writeStream(path, produce);
    }
};

class TableExportCommandTest : public ::testing::Test, protected TestWindow {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        prompter = std::make_shared<FakePrompter>();
        build(prompter, dir.path().toStdString());
        dialogs = std::make_shared<FakeTableDialogs>();
        features->tableExport->setDialogs(dialogs);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // 1 Pump
        //   1.1 Motor
        loadOutline(workspace->design(), {"1 Pump", "  1.1 Motor"});
    }

    QString inDir(const QString& name) const { return dir.filePath(name); }
    void saveAs(const QString& path)
    {
        prompter->savePaths.push_back(path);
        files->actions().saveAs->trigger();
    }
    void exportTo(const QString& path, TableFormat format)
    {
        dialogs->targets.push_back(TableTarget{path.toStdString(), format});
        features->tableExport->actions().exportTable->trigger();
    }
    QString statusText() { return form->statusBar()->currentMessage(); }

    QTemporaryDir dir;
    std::shared_ptr<FakePrompter> prompter;
    std::shared_ptr<FakeTableDialogs> dialogs;
};

TEST_F(TableExportCommandTest, SaveMenuEntryWritesTheChosenFormatAndSaysWhereInTheStatusBar)
{
    auto* save = form->findChild<QToolButton*>("SaveBtn");
    ASSERT_TRUE(save->menu()->actions().contains(features->tableExport->actions().exportTable));
    saveAs(inDir("pump.vok"));
    workspace->design().setModified(true);

    exportTo(inDir("review.csv"), TableFormat::Csv);

    EXPECT_EQ(dialogs->presets.front(), std::make_pair(inDir("pump.odt"), TableFormat::Odt));
    const QByteArray csv = readBytes(inDir("review.csv"));
    EXPECT_TRUE(csv.contains("\r\n1,0,Pump,Pump',Pump''\r\n1.1,1,Motor,Motor',Motor''\r\n")) << csv.toStdString();
    EXPECT_EQ(statusText(), "Table written to " + inDir("review.csv"));
    EXPECT_TRUE(prompter->errors.empty());
    EXPECT_TRUE(workspace->design().modified());
    EXPECT_EQ(workspace->files().filePath(), inDir("pump.vok").toStdString());

    // The next export proposes the format used last.
    features->tableExport->actions().exportTable->trigger();
    EXPECT_EQ(dialogs->presets.back(), std::make_pair(inDir("pump.csv"), TableFormat::Csv));
}

TEST_F(TableExportCommandTest, UnsavedDesignIsProposedInTheStartUpFolderAsUntitled)
{
    exportTo(inDir("Output.md"), TableFormat::Markdown);
    EXPECT_EQ(dialogs->presets.front().first, inDir("Output.odt"));
    EXPECT_TRUE(readBytes(inDir("Output.md")).startsWith("# Untitled\n"));
}

TEST_F(TableExportCommandTest, FileThatCannotBeWrittenIsReportedInTheErrorBox)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.pdf"));
    exportTo(inDir("taken.pdf"), TableFormat::Pdf);
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Cannot create file " + inDir("taken.pdf") + "."});
    EXPECT_EQ(statusText(), "");
}

// Both export commands of the window: the Export button's own target is the
// design when the design is named like an RTF file.
TEST_F(TableExportCommandTest, ExportOntoTheDesignFileOrAFifoIsRefusedInTheErrorBox)
{
    const QString design = inDir("x.rtf");
    saveAs(design);
    const QByteArray saved = readBytes(design);
    ASSERT_FALSE(saved.isEmpty());
    const QString pipe = inDir("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    files->actions().exportRtf->trigger();
    exportTo(design, TableFormat::Csv);
    exportTo(pipe, TableFormat::Csv);

    const QString itself = "Cannot export " + design + " onto itself.";
    EXPECT_EQ(prompter->errors, (std::vector<QString>{itself, itself, "Cannot create file " + pipe + "."}));
    EXPECT_EQ(readBytes(design), saved);
    struct stat status {};
    EXPECT_TRUE(lstat(QFile::encodeName(pipe).constData(), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_EQ(statusText(), "");
}

TEST_F(TableExportCommandTest, CancelledDialogOrProgressWritesNothingAndSaysNothing)
{
    features->tableExport->actions().exportTable->trigger(); // the dialog answers nothing
    dialogs->stopExport = true;
    for (TableFormat format : exporting::kTableFormats)
        exportTo(inDir("t") + QString::fromLatin1(exporting::extensionOf(format)), format);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(prompter->errors.empty());
    EXPECT_EQ(statusText(), "");
}

// The window exports in the colours the trees are drawn with (the current
// level styles); a design file's stored styles take over only once saved.
TEST_F(TableExportCommandTest, ColoursAreThoseTheTreesAreDrawnWith)
{
    model::Design red; // the design on screen, saved by another run with its own styles
    loadOutline(red, {"1 Pump", "  1.1 Motor"});
    for (int level = 0; level < model::kLevelCount; ++level)
        red.look().setStyle(level, {});
    red.look().setColour(1, 0x000000FF);
    io::writeDesignFile(inDir("red.vok").toStdString(), red);
    prompter->openPaths.push_back(inDir("red.vok"));
    files->actions().open->trigger();

    exportTo(inDir("before.html"), TableFormat::Html);
    files->actions().save->trigger();
    exportTo(inDir("after.html"), TableFormat::Html);

    EXPECT_TRUE(readBytes(inDir("before.html")).contains("margin-left: 14px; color: #ff0000;"));
    EXPECT_TRUE(readBytes(inDir("after.html")).contains("margin-left: 14px; color: #ff0000;"));
}

// --- the real dialogs ----------------------------------------------------------------

// Runs `answer` on the modal dialog of type D once it is up; one that never
// comes up fails the test, and a dialog left up is closed, so a test cannot hang.
template <typename D, typename F> void whenModal(F answer)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, deadline] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            timer->deleteLater();
            timer->stop();
            answer(dialog);
        } else if (deadline.hasExpired()) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "the dialog did not come up";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
        }
    });
    timer->start(10);
}

// What a user does in the save dialog: picks a filter, types a name.
void chooseFilter(QFileDialog* dialog, const QString& filter)
{
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    types->setCurrentIndex(types->findText(filter));
    emit types->activated(types->currentIndex());
    emit types->textActivated(filter);
}

void typeName(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
}

// The export runs beside the window: its progress dialog comes up while the
// export is held, and its Cancel stops it before the file is replaced.
TEST_F(TableExportCommandTest, ProgressDialogComesUpBesideTheExportAndItsCancelWritesNothing)
{
    auto writer = std::make_unique<HeldWriter>();
    HeldWriter& held = *writer;
    features->tableExport->setWriter(std::move(writer));
    dialogs->realProgress = std::make_shared<app::QtTableExportDialogs>(form.get());
    whenModal<QProgressDialog>([&](QProgressDialog* d) {
        d->findChild<QPushButton*>()->click();
        held.released = true;
    });
    exportTo(inDir("t.odt"), TableFormat::Odt);
    EXPECT_TRUE(held.written.empty());
    EXPECT_TRUE(prompter->errors.empty());
    EXPECT_EQ(statusText(), "");
}

// The window's close button during an export: the window stays until the file is written.
TEST_F(TableExportCommandTest, CloseAskedDuringTheExportWaitsForIt)
{
    auto writer = std::make_unique<HeldWriter>();
    HeldWriter& held = *writer;
    features->tableExport->setWriter(std::move(writer));
    workspace->design().setModified(false);
    bool openWhileExporting = false;
    QTimer::singleShot(0, form.get(), [&] {
        form->close();
        openWhileExporting = form->isVisible();
        held.released = true;
    });
    exportTo(inDir("t.csv"), TableFormat::Csv);
    EXPECT_TRUE(openWhileExporting);
    EXPECT_EQ(held.written, std::vector<std::string>{inDir("t.csv").toStdString()});
}

// A failure on the export's thread reaches the error box, in every format.
TEST_F(TableExportCommandTest, WriteThatFailsOnTheExportsThreadIsReportedInTheErrorBox)
{
    auto writer = std::make_unique<HeldWriter>();
    writer->released = true;
    writer->fails = true;
    features->tableExport->setWriter(std::move(writer));
    std::vector<QString> expected;
    for (TableFormat format : exporting::kTableFormats) {
        const QString path = inDir("t") + QString::fromLatin1(exporting::extensionOf(format));
        exportTo(path, format);
        expected.push_back("Cannot create file " + path + ".");
    }
    EXPECT_EQ(prompter->errors, expected);
    EXPECT_EQ(statusText(), "");
}

TEST_F(TableExportCommandTest, SaveDialogOffersTheFiveFormatsAndTheFilterOrExtensionDecides)
{
    app::QtTableExportDialogs real(form.get());
    QStringList filters;
    whenModal<QFileDialog>([&](QFileDialog* d) {
        filters = d->nameFilters();
        chooseFilter(d, QString::fromLatin1(exporting::filterOf(TableFormat::Csv)));
        typeName(d, "report");
        static_cast<QDialog*>(d)->accept();
    });
    const auto byFilter = real.chooseTarget(inDir("pump.odt"), TableFormat::Odt);
    whenModal<QFileDialog>([](QFileDialog* d) {
        typeName(d, "notes.md");
        static_cast<QDialog*>(d)->accept();
    });
    const auto byExtension = real.chooseTarget(inDir("pump.odt"), TableFormat::Odt);

    EXPECT_EQ(filters.size(), 5);
    EXPECT_EQ(byFilter, (TableTarget{inDir("report.csv").toStdString(), TableFormat::Csv}));
    EXPECT_EQ(byExtension, (TableTarget{inDir("notes.md").toStdString(), TableFormat::Markdown}));
}

TEST_F(TableExportCommandTest, CtrlPShowsThePrintPreviewOfTheTable)
{
    features->tableExport->setDialogs(std::make_shared<app::QtTableExportDialogs>(form.get()));
    EXPECT_EQ(features->tableExport->actions().print->shortcut(), QKeySequence(QKeySequence::Print));
    int pages = 0;
    QString title;
    whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
        title = d->windowTitle();
        if (auto* preview = d->findChild<QPrintPreviewWidget*>()) {
            QTRY_VERIFY(preview->pageCount() > 0);
            pages = preview->pageCount();
        }
        d->reject();
    });
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    QTRY_COMPARE(title, QString("Untitled"));
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(prompter->errors.empty());
}

// --- the command line -------------------------------------------------------------------

TEST(TessaricTableCommandLine, ExportsTheExampleInEveryFormatAndFailsWithAMessage)
{
    const QByteArray source = qgetenv("TESSARIC_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty()) << "TESSARIC_SOURCE_DIR is not set (ctest sets it to the source folder)";
    const QString pump = QDir(QString::fromLocal8Bit(source)).filePath("examples/pump.vok");
    const io::DesignFileContents design = io::readDesignFile(pump.toStdString());
    QTemporaryDir dir;
    auto run = [](const QStringList& args) {
        QProcess process;
        process.start(QStringLiteral(TESSARIC_BINARY), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return std::make_pair(process.exitCode(), process.readAllStandardError());
    };
    for (TableFormat format : exporting::kTableFormats) {
        const QString name = QString::fromLatin1(exporting::formatName(format));
        const auto [code, err] = run({"--export", name, pump, dir.filePath("pump." + name)});
        EXPECT_EQ(code, 0) << name.toStdString() << ": " << err.toStdString();
        EXPECT_FALSE(err.contains("rror")) << err.toStdString();
        EXPECT_GT(readBytes(dir.filePath("pump." + name)).size(), 100) << name.toStdString();
    }
    const QByteArray csv = readBytes(dir.filePath("pump.csv"));
    EXPECT_EQ(csv.count("\r\n"), design.trees[0].size() + 1);

    const auto [code, err] = run({"--export", "pdf", dir.filePath("missing.vok")});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("Cannot open file " + dir.filePath("missing.vok").toLocal8Bit() + "\n")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.pdf")));
}

} // namespace
} // namespace testing_app
