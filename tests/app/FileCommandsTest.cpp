// The file commands as the user meets them in the main window: open (dialog,
// drop, command line), save and save as, backup, the close query with the
// window's geometry in Formats.ini, the refusals that keep the design on
// screen and the file on disk intact, and when saved level styles show.
#include "MainFormFixture.h"

#include "io/ByteOrder.h"
#include "io/DesignFile.h"
#include "io/SettingsFile.h"
#include "ui/NodeDelegate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

#include <csignal>
#include <sys/resource.h>

namespace testing_app {
namespace {

using model::TreeId;
using Answer = app::Prompter::Answer;
using Styles = std::array<model::LevelStyle, model::kLevelCount>;

// Also keeps the caption of every question and the path each save dialog was preset with.
class CaptionPrompter : public FakePrompter {
public:
    std::vector<QString> captions, presets;
    Answer ask(const QString& text, const QString& caption) override
    {
        captions.push_back(caption);
        return FakePrompter::ask(text, caption);
    }
    std::optional<QString> chooseSavePath(const QString& preset) override
    {
        presets.push_back(preset);
        return FakePrompter::chooseSavePath(preset);
    }
};

// 1 A            the design on screen before each test
//   1.1 B
const std::vector<std::string> kOnScreen = {"1 A", "  1.1 B"};
// 1 P            the design in "other.vok"
// 2 Q
//   2.1 R
const std::vector<std::string> kOther = {"1 P", "2 Q", "  2.1 R"};
const std::array<std::string, 3> kOtherTitles = {"Needs", "Means", "Ways"};

Styles plainStyles()
{
    Styles s;
    for (int level = 0; level < model::kLevelCount; ++level)
        s[static_cast<std::size_t>(level)] = {0, 0, "Tahoma", 8, static_cast<std::uint8_t>(level == 0 ? 1 : 0)};
    return s;
}

// The level styles as an earlier run's options dialog would have left them.
void setStyles(model::Design& design, const Styles& styles)
{
    for (int level = 0; level < model::kLevelCount; ++level)
        design.look().setStyle(level, styles[static_cast<std::size_t>(level)]);
}

// A design file written by the io layer, as an earlier run would have.
void writeDesign(const QString& path, const std::vector<std::string>& lines,
                 const std::array<std::string, 3>& titles = kOtherTitles, const Styles& styles = plainStyles())
{
    model::Design design;
    loadOutline(design, lines);
    for (TreeId id : model::kAllTrees)
        design.setTitle(id, titles[static_cast<std::size_t>(model::index(id))]);
    setStyles(design, styles);
    io::writeDesignFile(path.toStdString(), design);
}

// A header with the magic and back-to-back sections, then the sections.
std::string rawDesign(const std::string& fr, const std::string& dp, const std::string& pv)
{
    std::string out(static_cast<std::size_t>(model::kHeaderSize), '\0');
    io::putU32(out, 0, model::kDesignMagic);
    std::uint32_t start = model::kHeaderSize;
    const std::array<const std::string*, 3> sections = {&fr, &dp, &pv};
    for (std::size_t i = 0; i < 3; ++i) {
        io::putU32(out, 100 + 4 * i, start);
        io::putU32(out, 112 + 4 * i, static_cast<std::uint32_t>(sections[i]->size()));
        start += static_cast<std::uint32_t>(sections[i]->size());
    }
    return out + fr + dp + pv;
}

void writeBytes(const QString& path, const std::string& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The rows a design file on disk holds, or -1 when it cannot be read.
int rowsOnDisk(const QString& path)
{
    try {
        return io::readDesignFile(path.toStdString()).trees[0].size();
    } catch (const std::exception&) {
        return -1;
    }
}

// Caps the size of any file this process writes, like a disk that fills up
// part-way through a save. Writes past the cap fail with EFBIG.
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit capped = m_old;
        capped.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &capped);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeCap()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

enum class Route { Dialog, Drop, CommandLine };

std::string routeName(Route r)
{
    switch (r) {
    case Route::Dialog:
        return "Dialog";
    case Route::Drop:
        return "Drop";
    case Route::CommandLine:
        return "CommandLine";
    }
    return "?";
}

class FileCommandsTest : public ::testing::Test, protected TestWindow {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        startRun();
    }

    // A new run of the program in the test's folder (the old window is
    // destroyed without closing, so it writes nothing).
    void startRun()
    {
        prompter = std::make_shared<CaptionPrompter>();
        build(prompter, dir.path().toStdString());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    QString inDir(const QString& name) const { return dir.filePath(name); }
    QString settingsPath() const { return inDir(QStringLiteral("Formats.ini")); }
    std::string currentPath() const { return workspace->files().filePath(); }
    const app::FileController::Actions& commands() const { return files->actions(); }

    void structuralEdit()
    {
        features->columns->selectRow(0);
        editing->actions().addChild->trigger();
    }

    void saveAs(const QString& path)
    {
        prompter->savePaths.push_back(path);
        commands().saveAs->trigger();
    }

    // The drop event, then the events that follow it (the file is opened once the drop has ended).
    void dropFiles(const QStringList& paths)
    {
        sendDrop(paths);
        QCoreApplication::processEvents();
    }

    void sendDrop(const QStringList& paths)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        const QPointF at(20, 100);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
    }

    void openBy(Route route, const QString& path)
    {
        switch (route) {
        case Route::Dialog:
            prompter->openPaths.push_back(path);
            commands().open->trigger();
            break;
        case Route::Drop:
            dropFiles({path});
            break;
        case Route::CommandLine:
            files->openAtStart(QFile::encodeName(path).toStdString());
            break;
        }
    }

    // Everything a refused open must leave alone, as one printable line.
    std::string state() const { return "path=" + currentPath() + " " + designState(); }
    std::string designState() const
    {
        std::string s = workspace->design().modified() ? "modified" : "clean";
        for (TreeId id : model::kAllTrees)
            s += " [" + features->titleBar->edit(id)->text().toStdString() + "/" + workspace->design().title(id) + "]";
        for (int row = 0; row < workspace->design().rowCount(); ++row)
            s.append(" ").append(rowTags(workspace->design(), row));
        return s;
    }

    bool backupPressed() const { return commands().backup->isChecked(); }

    QTemporaryDir dir;
    std::shared_ptr<CaptionPrompter> prompter;
};

// --- opening ---------------------------------------------------------------------

class OpenRouteTest : public FileCommandsTest, public ::testing::WithParamInterface<Route> {};

TEST_P(OpenRouteTest, OpensTheDesignAndMakesItsPathCurrent)
{
    const QString other = inDir("other.vok");
    writeDesign(other, kOther);
    openBy(GetParam(), other);

    EXPECT_TRUE(prompter->errors.empty()) << prompter->errors.front().toStdString();
    EXPECT_TRUE(prompter->questions.empty());
    EXPECT_EQ(currentPath(), other.toStdString());
    ASSERT_EQ(workspace->design().rowCount(), 3);
    EXPECT_EQ(rowTags(workspace->design(), 2), "2.1 R|2.1 R'|2.1 R''");
    EXPECT_EQ(features->titleBar->edit(TreeId::FR)->text(), "Needs");
    EXPECT_EQ(features->titleBar->edit(TreeId::PV)->text(), "Ways");
    EXPECT_EQ(workspace->design().title(TreeId::DP), "Means");
    EXPECT_FALSE(workspace->design().modified()); // putting the titles in is no edit

    // A later Save writes there without asking.
    structuralEdit();
    commands().save->trigger();
    EXPECT_EQ(prompter->saveDialogs, 0);
    EXPECT_EQ(rowsOnDisk(other), 4);
}

INSTANTIATE_TEST_SUITE_P(Routes, OpenRouteTest, ::testing::Values(Route::Dialog, Route::Drop, Route::CommandLine),
                         [](const auto& info) { return routeName(info.param); });

TEST_F(FileCommandsTest, DropOpensOnlyTheFirstOfSeveralFiles)
{
    EXPECT_TRUE(form->acceptDrops());
    const QString first = inDir("first.vok"), second = inDir("second.vok"), third = inDir("third.vok");
    writeDesign(first, {"1 First"});
    writeDesign(second, {"1 Second"});
    writeDesign(third, {"1 Third"});
    dropFiles({first, second, third});

    EXPECT_EQ(currentPath(), first.toStdString());
    ASSERT_EQ(workspace->design().rowCount(), 1);
    EXPECT_EQ(rowTags(workspace->design(), 0), "1 First|1 First'|1 First''");
}

TEST_F(FileCommandsTest, DropEndsBeforeTheFileIsOpened)
{
    // The question and any error box come after the drop has ended, so they
    // never hold up the program the file was dragged from.
    loadOutline(workspace->design(), kOnScreen);
    structuralEdit();
    const QString other = inDir("other.vok");
    writeDesign(other, kOther);
    prompter->answers.push_back(Answer::No);
    sendDrop({other});
    EXPECT_TRUE(prompter->questions.empty());
    EXPECT_EQ(workspace->design().rowCount(), 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter->questions.size(), 1u);
    EXPECT_EQ(currentPath(), other.toStdString());
}

TEST_F(FileCommandsTest, FileNamesBeyondAsciiSurviveOpenSaveBackupAndMessages)
{
    const QString name = QStringLiteral("Pumpe f\u00fcr \u00d6l \u2013 v2.vok");
    const QString path = inDir(name);
    writeDesign(path, kOther);
    dropFiles({path});
    ASSERT_EQ(QFile::decodeName(currentPath().c_str()), path);
    ASSERT_EQ(workspace->design().rowCount(), 3);

    structuralEdit();
    commands().backup->trigger(); // saves first, then copies
    EXPECT_EQ(rowsOnDisk(path), 4);
    EXPECT_EQ(readBytes(inDir("BackedUp_" + name)), readBytes(path));

    const QString missing = inDir(QStringLiteral("fehlt-\u00e4.vok"));
    dropFiles({missing});
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Cannot open file " + missing + "."});
}

TEST_F(FileCommandsTest, CancelledOpenDialogChangesNothing)
{
    loadOutline(workspace->design(), kOnScreen);
    const std::string before = state();
    commands().open->trigger(); // the fake dialog is cancelled
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(prompter->errors.empty());
}

// A refused file leaves titles, trees and the current path as they were, by every route.
struct RefusedFile {
    const char* name;
    std::optional<std::string> bytes; // nullopt: no file at all
    std::string message;              // %s stands for the path
    bool folder = false;              // a folder of that name instead
};

const RefusedFile kRefusedFiles[] = {
    {"Missing", std::nullopt, "Cannot open file %s."},
    {"Folder", std::nullopt, "Cannot open file %s.", true},
    {"TextFile", std::string("1 Pump\r\n\t1.1 Motor\r\n"), "%s is not a design file."},
    {"ThreeBytesOfMagic", std::string("\x2F\xCB\x04", 3), "%s is not a design file."},
    {"Empty", std::string(), "%s is not a design file."},
    {"MagicButShortHeader", std::string("\x2F\xCB\x04\x00", 4) + std::string(96, '\0'), "Stream read error."},
    {"SectionPastTheEnd", rawDesign("1 A\r\n", "1 A\r\n", "1 A\r\n").substr(0, 710), "Stream read error."},
    {"InvalidLevel", rawDesign("1 A\r\n\t\t1.1.1 B\r\n", "1 A\r\n", "1 A\r\n"),
     "Invalid level (2) for item \"1.1.1 B\""},
    {"UnequalShapes", rawDesign("1 A\r\n\t1.1 B\r\n", "1 A\r\n2 B\r\n", "1 A\r\n\t1.1 B\r\n"),
     "The three trees in %s do not have the same shape."},
};

class RefusedOpenTest : public FileCommandsTest,
                        public ::testing::WithParamInterface<std::tuple<RefusedFile, Route>> {};

TEST_P(RefusedOpenTest, LeavesTheDesignAndPathAsTheyWere)
{
    const auto& [file, route] = GetParam();
    // A design opened from disk and then edited: path, titles and trees are all set.
    const QString current = inDir("current.vok");
    writeDesign(current, kOnScreen, {"T1", "T2", "T3"});
    files->openAtStart(current.toStdString());
    ASSERT_EQ(currentPath(), current.toStdString());
    const std::string before = state();

    const QString bad = inDir("bad.vok");
    if (file.bytes)
        writeBytes(bad, *file.bytes);
    if (file.folder) {
        ASSERT_TRUE(QDir(dir.path()).mkdir("bad.vok"));
    }
    openBy(route, bad);

    ASSERT_EQ(prompter->errors.size(), 1u);
    EXPECT_EQ(prompter->errors[0], QString::fromStdString(file.message).replace("%s", bad));
    EXPECT_EQ(state(), before);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedOpenTest,
                         ::testing::Combine(::testing::ValuesIn(kRefusedFiles),
                                            ::testing::Values(Route::Dialog, Route::Drop, Route::CommandLine)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "By" +
                                    routeName(std::get<1>(info.param));
                         });

// Opening over unsaved changes asks first.
struct OpenOverChanges {
    const char* name;
    Answer answer;
    std::optional<const char*> saveTo; // the save dialog's answer (nullopt: cancelled)
    bool opens;
    bool saves;
    bool fails;
};

const OpenOverChanges kOpenOverChanges[] = {
    {"YesSavesThenOpens", Answer::Yes, "saved.vok", true, true, false},
    {"YesWithSaveDialogCancelledKeepsTheDesign", Answer::Yes, std::nullopt, false, false, false},
    {"YesWithFailedSaveKeepsTheDesign", Answer::Yes, "no-such-folder/saved.vok", false, false, true},
    {"NoOpensWithoutSaving", Answer::No, std::nullopt, true, false, false},
    {"CancelDoesNothing", Answer::Cancel, std::nullopt, false, false, false},
};

class OpenOverChangesTest : public FileCommandsTest,
                            public ::testing::WithParamInterface<std::tuple<OpenOverChanges, Route>> {};

TEST_P(OpenOverChangesTest, AsksWhetherToSaveFirst)
{
    const auto& [c, route] = GetParam();
    loadOutline(workspace->design(), kOnScreen);
    structuralEdit(); // 3 rows, modified, never saved
    const std::string before = designState();
    const QString other = inDir("other.vok");
    writeDesign(other, kOther);
    prompter->answers.push_back(c.answer);
    if (c.saveTo)
        prompter->savePaths.push_back(inDir(*c.saveTo));
    openBy(route, other);

    EXPECT_EQ(prompter->questions, std::vector<QString>{"Save changes before opening another design?"});
    EXPECT_EQ(prompter->captions, std::vector<QString>{"Save Changes?"});
    EXPECT_EQ(prompter->saveDialogs, c.answer == Answer::Yes ? 1 : 0);
    if (c.opens) {
        EXPECT_EQ(rowTags(workspace->design(), 0), "1 P|1 P'|1 P''");
        EXPECT_EQ(currentPath(), other.toStdString());
    } else {
        EXPECT_EQ(designState(), before);
        EXPECT_NE(currentPath(), other.toStdString());
    }
    EXPECT_EQ(rowsOnDisk(inDir("saved.vok")), c.saves ? 3 : -1);
    EXPECT_EQ(prompter->errors.size(), c.fails ? 1u : 0u);
    if (c.fails) {
        EXPECT_TRUE(prompter->errors[0].startsWith("Cannot create file "));
    }
    if (route == Route::Dialog && !c.opens) {
        EXPECT_EQ(prompter->openPaths.size(), 1u); // the open dialog never showed
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, OpenOverChangesTest,
                         ::testing::Combine(::testing::ValuesIn(kOpenOverChanges),
                                            ::testing::Values(Route::Dialog, Route::Drop)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "By" +
                                    routeName(std::get<1>(info.param));
                         });

TEST_F(FileCommandsTest, OpeningWithoutChangesAsksNothing)
{
    loadOutline(workspace->design(), kOnScreen);
    const QString other = inDir("other.vok");
    writeDesign(other, kOther);
    openBy(Route::Dialog, other);
    EXPECT_TRUE(prompter->questions.empty());
    EXPECT_EQ(currentPath(), other.toStdString());
}


// A file whose matrix block was damaged: the design opens and shows, then the
// error box says what was left out; saving it again writes the trees alone.
TEST_F(FileCommandsTest, ADamagedMatrixBlockOpensTheDesignWithoutMatricesAndSaysSo)
{
    model::Design design;
    loadOutline(design, kOther);
    design.setMatrixCell(model::kNoRow, model::MatrixKind::FrDp, 0, 1, model::CellValue::X);
    setStyles(design, plainStyles());
    std::string bytes = io::encodeDesignFile(design);
    const std::string good = bytes;
    bytes[bytes.size() - 4] ^= 0x02; // a cell's value no longer matches the CRC
    const QString damaged = inDir("damaged.vok");
    writeBytes(damaged, bytes);

    files->openAtStart(QFile::encodeName(damaged).toStdString());
    EXPECT_EQ(currentPath(), damaged.toStdString());
    EXPECT_EQ(workspace->design().rowCount(), 3);
    EXPECT_FALSE(workspace->design().modified());
    EXPECT_TRUE(workspace->design().matrices().empty());
    EXPECT_EQ(prompter->errors,
              std::vector<QString>{"The design matrices in " + damaged + " could not be read and are left out."});

    // The same file undamaged brings its cell back.
    writeBytes(damaged, good);
    files->openAtStart(QFile::encodeName(damaged).toStdString());
    EXPECT_EQ(workspace->design().matrices().cellCount(), 1u);
    EXPECT_EQ(prompter->errors.size(), 1u);
}
// A file holding blocks the design does not take in: a save asks before it
// leaves them out. No writes nothing; Yes writes the trees alone, says so,
// and lets go of the blocks, so the next save asks nothing.
TEST_F(FileCommandsTest, SavingADesignWithADamagedMatrixBlockAsksFirst)
{
    model::Design design;
    loadOutline(design, kOther);
    design.setMatrixCell(model::kNoRow, model::MatrixKind::FrDp, 0, 1, model::CellValue::X);
    setStyles(design, plainStyles());
    std::string bytes = io::encodeDesignFile(design);
    bytes[bytes.size() - 4] ^= 0x02; // a cell's value no longer matches the CRC: every record intact
    const QString damaged = inDir("damaged.vok");
    writeBytes(damaged, bytes);
    files->openAtStart(QFile::encodeName(damaged).toStdString());
    ASSERT_EQ(prompter->errors.size(), 1u);

    const QString question = "damaged.vok holds data that could not be read (the design matrices); "
                             "saving will leave it out. Save anyway?";
    prompter->answers = {Answer::No};
    commands().save->trigger();
    EXPECT_EQ(prompter->questions, std::vector<QString>{question});
    EXPECT_EQ(readBytes(damaged), QByteArray::fromStdString(bytes));

    prompter->answers = {Answer::Yes};
    commands().save->trigger();
    EXPECT_EQ(prompter->questions.size(), 2u);
    model::Design treesAlone;
    loadOutline(treesAlone, kOther);
    setStyles(treesAlone, plainStyles());
    EXPECT_EQ(readBytes(damaged), QByteArray::fromStdString(io::encodeDesignFile(treesAlone)));
    EXPECT_EQ(form->statusBar()->currentMessage(), "Saved damaged.vok without the data that could not be read");

    commands().save->trigger();
    EXPECT_EQ(prompter->questions.size(), 2u);
    EXPECT_EQ(prompter->errors.size(), 1u);
}

struct KeptQuestion {
    const char* name;
    std::string tail; // behind the sections
    const char* question;
};

std::string unknownBlock(const char* tag)
{
    return std::string(tag) + std::string(12, '\0'); // empty payload, whose CRC is 0
}

const KeptQuestion kKeptQuestions[] = {
    {"UnknownBlock", unknownBlock("ABCD"),
     "other.vok holds data this version does not know (block ABCD); saving will leave it out. Save anyway?"},
    {"EveryBlockNamedOnce", unknownBlock("TDMX") + unknownBlock("ABCD") + unknownBlock("TDMX") + unknownBlock("ABCD"),
     "other.vok holds data that could not be read or that this version does not know "
     "(the design matrices, block ABCD); saving will leave it out. Save anyway?"},
};

class KeptBlocksQuestion : public FileCommandsTest, public ::testing::WithParamInterface<KeptQuestion> {};

// Save As too: the design leaves the blocks behind whichever file it goes to.
TEST_P(KeptBlocksQuestion, NamesTheFileAndWhatItHolds)
{
    const QString other = inDir("other.vok");
    writeDesign(other, kOther);
    writeBytes(other, readBytes(other).toStdString() + GetParam().tail);
    openBy(Route::Dialog, other);
    prompter->answers = {Answer::No};
    prompter->savePaths.push_back(inDir("copy.vok"));
    commands().saveAs->trigger();
    EXPECT_EQ(prompter->questions, std::vector<QString>{QString::fromLatin1(GetParam().question)});
    EXPECT_EQ(prompter->saveDialogs, 0); // No: not even the dialog
    EXPECT_FALSE(QFile::exists(inDir("copy.vok")));
}

INSTANTIATE_TEST_SUITE_P(Cases, KeptBlocksQuestion, ::testing::ValuesIn(kKeptQuestions),
                         [](const auto& info) { return std::string(info.param.name); });

// --- saving ------------------------------------------------------------------------

TEST_F(FileCommandsTest, SaveRightAfterStartAsksForANameAndCancelWritesNothing)
{
    loadOutline(workspace->design(), kOnScreen);
    // Nothing may land in the working folder either.
    QTemporaryDir workingDir;
    const QString oldCurrent = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    commands().save->trigger();
    QDir::setCurrent(oldCurrent);

    EXPECT_EQ(prompter->saveDialogs, 1);
    EXPECT_EQ(currentPath(), "");
    const auto all = QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;
    EXPECT_TRUE(QDir(dir.path()).entryList(all).isEmpty());
    EXPECT_TRUE(QDir(workingDir.path()).entryList(all).isEmpty());
    EXPECT_TRUE(prompter->errors.empty());
}

TEST_F(FileCommandsTest, SaveAfterSaveAsWritesTheSamePathWithoutAsking)
{
    loadOutline(workspace->design(), kOnScreen);
    const QString pump = inDir("pump.vok");
    saveAs(pump);
    EXPECT_EQ(currentPath(), pump.toStdString());
    EXPECT_EQ(rowsOnDisk(pump), 2);

    structuralEdit();
    commands().save->trigger();
    EXPECT_EQ(prompter->saveDialogs, 1);
    EXPECT_EQ(rowsOnDisk(pump), 3);
    // The tree menu's Save (Ctrl+S) is the same command.
    structuralEdit();
    commands().save->trigger();
    EXPECT_EQ(rowsOnDisk(pump), 4);
    EXPECT_EQ(prompter->saveDialogs, 1);
    // Save As opens on the current file.
    commands().saveAs->trigger();
    EXPECT_EQ(prompter->presets, (std::vector<QString>{"", pump}));
}

TEST_F(FileCommandsTest, SaveAsOntoAnExistingFileReplacesItWithoutAQuestion)
{
    loadOutline(workspace->design(), kOnScreen);
    const QString target = inDir("old.vok");
    writeDesign(target, kOther);
    saveAs(target);
    EXPECT_TRUE(prompter->questions.empty());
    EXPECT_EQ(rowsOnDisk(target), 2);
}

TEST_F(FileCommandsTest, SaveIntoAMissingFolderReportsCannotCreateAndKeepsTheModifiedFlag)
{
    loadOutline(workspace->design(), kOnScreen);
    structuralEdit();
    const QString path = inDir("no-such-folder/pump.vok");
    saveAs(path);
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Cannot create file " + path + "."});
    EXPECT_TRUE(workspace->design().modified());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(FileCommandsTest, SaveFailingPartWayLeavesTheOldFileIntact)
{
    loadOutline(workspace->design(), kOnScreen);
    const QString pump = inDir("pump.vok");
    saveAs(pump);
    const QByteArray old = readBytes(pump);
    ASSERT_LT(old.size(), 1000);
    for (int i = 0; i < 60; ++i)
        workspace->design().addChild(0); // the new file would be far beyond the cap
    {
        FileSizeCap cap(1000);
        commands().save->trigger();
    }
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Stream write error."});
    EXPECT_EQ(readBytes(pump), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"pump.vok"});
    EXPECT_TRUE(workspace->design().modified());
}

TEST_F(FileCommandsTest, SuccessfulSaveClearsTheModifiedFlagAndATitleEditSetsIt)
{
    loadOutline(workspace->design(), kOnScreen);
    structuralEdit();
    ASSERT_TRUE(workspace->design().modified());
    saveAs(inDir("pump.vok"));
    EXPECT_FALSE(workspace->design().modified());

    typeText(features->titleBar->edit(TreeId::FR), QStringLiteral("!"));
    EXPECT_EQ(workspace->design().title(TreeId::FR), "Functional Requirements!");
    EXPECT_TRUE(workspace->design().modified());
    EXPECT_FALSE(backupPressed());
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompter->questions, std::vector<QString>{"Save changes to pump.vok before closing?"});
}

TEST_F(FileCommandsTest, TheWindowTitleNamesTheDesignAndMarksUnsavedChanges)
{
    // What the window manager shows: the placeholder resolved.
    auto shown = [&] { return form->windowHandle() ? form->windowHandle()->title() : QString(); };
    EXPECT_EQ(shown(), QString::fromUtf8("Untitled \u2013 Tessaric Design Tool"));
    loadOutline(workspace->design(), kOnScreen);
    structuralEdit();
    EXPECT_EQ(shown(), QString::fromUtf8("Untitled* \u2013 Tessaric Design Tool"));
    saveAs(inDir("pump.vok"));
    EXPECT_EQ(shown(), QString::fromUtf8("pump.vok \u2013 Tessaric Design Tool"));
    structuralEdit();
    EXPECT_EQ(shown(), QString::fromUtf8("pump.vok* \u2013 Tessaric Design Tool"));
}

// --- the close query and the window's geometry ----------------------------------------

struct CloseCase {
    const char* name;
    bool modified;
    std::optional<Answer> answer;      // nullopt: no question expected
    bool hasPath;                      // saved once before the edit
    std::optional<const char*> saveTo; // the save dialog's answer when there is no path
    bool closes;
    bool saves;
};

const CloseCase kCloseCases[] = {
    {"UnmodifiedClosesWithoutAQuestion", false, std::nullopt, true, std::nullopt, true, false},
    {"YesSavesToTheCurrentPathAndCloses", true, Answer::Yes, true, std::nullopt, true, true},
    {"YesAsksForANameSavesAndCloses", true, Answer::Yes, false, "named.vok", true, true},
    {"YesWithSaveDialogCancelledStaysOpen", true, Answer::Yes, false, std::nullopt, false, false},
    {"YesWithFailedSaveStaysOpen", true, Answer::Yes, false, "no-such-folder/named.vok", false, false},
    {"NoClosesWithoutSaving", true, Answer::No, true, std::nullopt, true, false},
    {"CancelStaysOpen", true, Answer::Cancel, true, std::nullopt, false, false},
};

class CloseQueryTest : public FileCommandsTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQueryTest, SavesClosesOrStaysOpen)
{
    const CloseCase& c = GetParam();
    loadOutline(workspace->design(), kOnScreen);
    const QString target = inDir(c.hasPath ? "pump.vok" : (c.saveTo ? *c.saveTo : "never.vok"));
    if (c.hasPath)
        saveAs(target); // 2 rows on disk
    if (c.modified)
        structuralEdit(); // 3 rows on screen
    if (c.answer)
        prompter->answers.push_back(*c.answer);
    if (c.saveTo)
        prompter->savePaths.push_back(target);

    EXPECT_EQ(form->close(), c.closes);
    EXPECT_EQ(form->isVisible(), !c.closes);
    EXPECT_EQ(prompter->questions,
              c.answer ? std::vector<QString>{c.hasPath ? "Save changes to pump.vok before closing?"
                                                        : "Save changes to Untitled before closing?"}
                       : std::vector<QString>{});
    EXPECT_EQ(prompter->captions, c.answer ? std::vector<QString>{"Save Changes?"} : std::vector<QString>{});
    EXPECT_EQ(rowsOnDisk(target), c.saves ? 3 : c.hasPath ? 2 : -1);
    EXPECT_EQ(QFileInfo::exists(settingsPath()), c.closes); // a cancelled close writes nothing
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseQueryTest, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, ClosingWritesTheFourGeometryKeys)
{
    form->move(237, 112);
    form->resize(684, 601);
    ASSERT_TRUE(form->close());
    const QByteArray ini = readBytes(settingsPath());
    for (const char* line : {"[Settings]", "WindowTop=112", "WindowLeft=237", "WindowWidth=684", "WindowHeight=601"})
        EXPECT_TRUE(ini.contains(line)) << line << " in\n" << ini.toStdString();
}

struct StoredGeometry {
    const char* name;
    const char* ini; // nullptr: no settings file
    QRect expected;  // left, top, width, height; a negative size means "at least the minimum"
};

const StoredGeometry kStoredGeometries[] = {
    {"NoFileGivesTheDefaults", nullptr, QRect(50, 50, 640, 480)},
    {"StoredValuesAreUsed", "[Settings]\nWindowTop=112\nWindowLeft=237\nWindowWidth=684\nWindowHeight=601\n",
     QRect(237, 112, 684, 601)},
    {"HexadecimalWidth", "[Settings]\nWindowWidth=0x300\n", QRect(50, 50, 768, 480)},
    {"KeysAndSectionInAnyCase", "[settings]\nwindowtop=70\nWINDOWHEIGHT=500\n", QRect(50, 70, 640, 500)},
    {"NotANumberGivesTheDefault", "[Settings]\nWindowHeight=abc\n", QRect(50, 50, 640, 480)},
    {"BelowTheMinimumGivesTheMinimum", "[Settings]\nWindowWidth=100\nWindowHeight=100\n", QRect(50, 50, -1, -1)},
};

class StoredGeometryTest : public FileCommandsTest, public ::testing::WithParamInterface<StoredGeometry> {};

TEST_P(StoredGeometryTest, IsAppliedAtStart)
{
    const StoredGeometry& g = GetParam();
    if (g.ini)
        writeBytes(settingsPath(), g.ini);
    startRun();
    EXPECT_EQ(form->pos(), g.expected.topLeft());
    if (g.expected.width() < 0) {
        EXPECT_GE(form->width(), 300);
        EXPECT_GE(form->height(), 440);
    } else {
        EXPECT_EQ(form->size(), g.expected.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, StoredGeometryTest, ::testing::ValuesIn(kStoredGeometries),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, GeometryWrittenAtCloseIsReadAtTheNextStart)
{
    form->move(-4, 90);
    form->resize(700, 520);
    ASSERT_TRUE(form->close());
    startRun();
    EXPECT_EQ(form->pos(), QPoint(-4, 90));
    EXPECT_EQ(form->size(), QSize(700, 520));
}

TEST_F(FileCommandsTest, UnwritableSettingsFileIsReportedOnceAndTheWindowStillCloses)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("Formats.ini"));
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Unable to write to " + settingsPath() + "."});
}

// --- backup --------------------------------------------------------------------------

TEST_F(FileCommandsTest, BackupSavesFirstThenCopiesNextToTheFileAndASecondOneOverwrites)
{
    loadOutline(workspace->design(), kOnScreen);
    const QString pump = inDir("pump.vok"), copy = inDir("BackedUp_pump.vok");
    saveAs(pump);
    structuralEdit();
    EXPECT_FALSE(backupPressed());
    commands().backup->trigger();
    EXPECT_EQ(rowsOnDisk(pump), 3);
    EXPECT_EQ(readBytes(copy), readBytes(pump));
    EXPECT_TRUE(backupPressed());
    EXPECT_TRUE(workspace->design().backedUp());

    structuralEdit();
    commands().backup->trigger();
    EXPECT_EQ(rowsOnDisk(copy), 4);
    EXPECT_EQ(readBytes(copy), readBytes(pump));
    EXPECT_EQ(prompter->saveDialogs, 1); // only the Save As
}

TEST_F(FileCommandsTest, BackupWithoutChangesCopiesTheFileAsItIsOnDisk)
{
    const QString other = inDir("other.vok");
    writeDesign(other, kOther);
    openBy(Route::Dialog, other);
    const QByteArray onDisk = readBytes(other);
    commands().backup->trigger();
    EXPECT_EQ(readBytes(inDir("BackedUp_other.vok")), onDisk);
    EXPECT_EQ(readBytes(other), onDisk); // not saved again
}

TEST_F(FileCommandsTest, BackupWithNoPathAndNoChangesCopiesNothingAndStaysPressed)
{
    loadOutline(workspace->design(), kOnScreen);
    commands().backup->trigger();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(prompter->saveDialogs, 0);
    EXPECT_TRUE(prompter->errors.empty());
    EXPECT_TRUE(backupPressed());
}

TEST_F(FileCommandsTest, ClickingThePressedBackupButtonLeavesItPressed)
{
    QToolButton* button = form->findChild<QToolButton*>("BackupBtn");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->isChecked());
}

TEST_F(FileCommandsTest, StructuralEditReleasesTheBackupButton)
{
    loadOutline(workspace->design(), kOnScreen);
    ASSERT_TRUE(backupPressed());
    structuralEdit();
    EXPECT_FALSE(backupPressed());
    EXPECT_FALSE(workspace->design().backedUp());
}

TEST_F(FileCommandsTest, BackupWhoseSaveFailsCopiesNothingAndLeavesTheButtonUp)
{
    loadOutline(workspace->design(), kOnScreen);
    structuralEdit();
    prompter->savePaths.push_back(inDir("no-such-folder/pump.vok"));
    QToolButton* button = form->findChild<QToolButton*>("BackupBtn");
    QTest::mouseClick(button, Qt::LeftButton); // the toggle flips the button on its own
    EXPECT_EQ(prompter->errors.size(), 1u);
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(workspace->design().backedUp());
}

TEST_F(FileCommandsTest, BackupThatCannotBeWrittenKeepsTheOldBackupAndSaysSo)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back("Requirement that makes the file longer than the cap");
    loadOutline(workspace->design(), rows);
    const QString pump = inDir("pump.vok"), copy = inDir("BackedUp_pump.vok");
    saveAs(pump);
    commands().backup->trigger();
    const QByteArray oldBackup = readBytes(copy);
    ASSERT_FALSE(oldBackup.isEmpty());
    structuralEdit();
    commands().save->trigger(); // the file changes; the backup is not up to date
    ASSERT_FALSE(backupPressed());
    {
        FileSizeCap cap(1000); // the disk fills up part-way through the copy
        QTest::mouseClick(form->findChild<QToolButton*>("BackupBtn"), Qt::LeftButton);
    }
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Cannot create file " + copy + "."});
    EXPECT_EQ(readBytes(copy), oldBackup);
    EXPECT_FALSE(backupPressed());
    EXPECT_FALSE(workspace->design().backedUp());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left behind";
}

// --- when saved level styles show -------------------------------------------------------

class LevelStyleMomentsTest : public FileCommandsTest {
protected:
    QColor drawnColour(int row)
    {
        auto* delegate = qobject_cast<ui::NodeDelegate*>(features->columns->view(TreeId::FR)->itemDelegate());
        EXPECT_NE(delegate, nullptr);
        if (!delegate)
            return {};
        QStyleOptionViewItem base;
        return delegate->nodeOption(base, features->columns->indexOfRow(TreeId::FR, row)).palette.color(QPalette::Text);
    }

    // Levels 0, 1, 2 in one chain.
    const std::vector<std::string> kChain = {"1 A", "  1.1 B", "    1.1.1 C"};
};

TEST_F(LevelStyleMomentsTest, OpenedLevelColoursShowAtOnceAndASaveKeepsThem)
{
    Styles styles = plainStyles();
    styles[2].colour = 0x000000FF; // red
    const QString red = inDir("red.vok");
    writeDesign(red, kChain, kOtherTitles, styles);

    openBy(Route::Dialog, red);
    EXPECT_EQ(drawnColour(2), QColor(Qt::red));
    EXPECT_EQ(drawnColour(1), QColor(Qt::black));

    commands().save->trigger();
    EXPECT_EQ(workspace->design().look().currentHeader().levels[2].colour, 0x000000FFu);
    EXPECT_EQ(drawnColour(2), QColor(Qt::red));
    EXPECT_EQ(drawnColour(1), QColor(Qt::black));
}

TEST_F(LevelStyleMomentsTest, SaveWithoutOpeningWritesTahomaEightInBlack)
{
    loadOutline(workspace->design(), kChain);
    const QString path = inDir("fresh.vok");
    saveAs(path);
    const model::HeaderRecord header = io::readDesignFile(path.toStdString()).header;
    for (int level = 0; level < model::kLevelCount; ++level) {
        const model::LevelStyle expected{0, 0, "Tahoma", 8, static_cast<std::uint8_t>(level == 0 ? model::kBold : 0)};
        EXPECT_EQ(model::styleOf(header.levels[static_cast<std::size_t>(level)]), expected) << level;
    }
}

TEST_F(LevelStyleMomentsTest, SaveAfterOpeningWritesThatFilesLevelStylesBack)
{
    Styles styles = plainStyles();
    for (int level = 0; level < model::kLevelCount; ++level) {
        auto& s = styles[static_cast<std::size_t>(level)];
        s = {0, 0x00010203u * static_cast<std::uint32_t>(level + 1), "Arial", 9 + level,
             static_cast<std::uint8_t>(level % 16)};
    }
    styles[4].charset = 2;
    const QString source = inDir("styled.vok"), copy = inDir("copy.vok");
    writeDesign(source, kChain, kOtherTitles, styles);
    openBy(Route::Drop, source);
    saveAs(copy);
    const model::HeaderRecord header = io::readDesignFile(copy.toStdString()).header;
    for (int level = 0; level < model::kLevelCount; ++level)
        EXPECT_EQ(model::styleOf(header.levels[static_cast<std::size_t>(level)]),
                  styles[static_cast<std::size_t>(level)])
            << level;
}

} // namespace
} // namespace testing_app
