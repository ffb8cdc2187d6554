#pragma once
// The command line, read before anything needs a display:
//   tessaric [DESIGN.vok]                       the window, with a design open
//   tessaric --export-rtf DESIGN.vok [OUT.rtf]  an export without a window
//   tessaric --export FORMAT DESIGN.vok [OUT]   the design as a table (odt, html, pdf, csv, md),
//                                               or its flow diagram (svg)
//   tessaric --check DESIGN.vok                 the matrices' independence check and missing labels
//   tessaric --diff OLD.vok NEW.vok             what changed from one design to the other
//   tessaric --help | --version                 print and exit
// An unknown option is an error (exit status 2).

#include <QCommandLineParser>
#include <QStringList>

#include <string>

namespace app {

inline constexpr int kUsageExitCode = 2;

class CommandLine {
public:
    enum class Mode { Window, Help, Version, ExportRtf, ExportTable, Check, Diff, Error };

    CommandLine();
    // `arguments` as QCoreApplication::arguments() would give them, the program first.
    void parse(const QStringList& arguments);

    Mode mode() const { return m_mode; }
    // The arguments after the options; for --export, FORMAT first.
    const QStringList& positional() const { return m_positional; }
    // One line for standard error, then the usage.
    QString errorText() const;
    // The usage and the options; names the program as the running application
    // does, so a QCoreApplication should exist when it is asked for.
    QString helpText() const { return m_parser.helpText(); }
    static QString versionText();

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QCommandLineOption m_exportRtf;
    QCommandLineOption m_exportTable;
    QCommandLineOption m_check;
    QCommandLineOption m_diff;
    Mode m_mode = Mode::Window;
    QStringList m_positional;
};

// The arguments of main() as text: UTF-8, with each byte that is not kept
// for fileNameOf(). (QFile::decodeName turns such a byte into U+FFFD, and a
// file named with it could not be opened.)
QStringList argumentsOf(int argc, char** argv);
// An argument from argumentsOf() as the bytes of the file name it was.
std::string fileNameOf(const QString& argument);

} // namespace app
