#include "app/CommandLine.h"

#include <QFile>

namespace app {

namespace {
constexpr const char* kProgram = "tessaric";
}

CommandLine::CommandLine()
    : m_help(QStringList{"h", "help"}, QStringLiteral("Print this help and exit.")),
      m_version(QStringList{"v", "version"}, QStringLiteral("Print the version and exit.")),
      m_exportRtf(QStringLiteral("export-rtf"),
                  QStringLiteral("Write DESIGN.vok as an RTF document to OUT.rtf (by default beside it, with the "
                                 "extension .rtf) and exit, without a window.")),
      m_exportTable(QStringLiteral("export"),
                    QStringLiteral("Write DESIGN.vok as a table in FORMAT (odt, html, pdf, csv or md) to OUT (by "
                                   "default beside it, with the format's extension) and exit, without a window."),
                    QStringLiteral("FORMAT")),
      m_check(QStringLiteral("check"),
              QStringLiteral("Check DESIGN.vok without a window: print one line per design matrix (uncoupled, "
                             "decoupled with the order, coupled groups, or incomplete) and per missing label. Exit "
                             "status 0 when all is well, 2 when something is reported, 1 when the file cannot be "
                             "read."))
{
    m_parser.setApplicationDescription(
        QStringLiteral("Tessaric Design Tool: functional requirements, design parameters and process variables, "
                       "decomposed side by side."));
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_exportRtf);
    m_parser.addOption(m_exportTable);
    m_parser.addOption(m_check);
    m_parser.addPositionalArgument(QStringLiteral("DESIGN.vok"), QStringLiteral("A design file to open."),
                                   QStringLiteral("[DESIGN.vok]"));
    m_parser.addPositionalArgument(QStringLiteral("OUT.rtf"), QStringLiteral("With --export-rtf: where to write."),
                                   QStringLiteral("[OUT.rtf]"));
}

void CommandLine::parse(const QStringList& arguments)
{
    if (!m_parser.parse(arguments)) {
        m_mode = Mode::Error;
        return;
    }
    m_positional = m_parser.positionalArguments();
    if (m_parser.isSet(m_help))
        m_mode = Mode::Help;
    else if (m_parser.isSet(m_version))
        m_mode = Mode::Version;
    else if (m_parser.isSet(m_exportRtf))
        m_mode = Mode::ExportRtf;
    else if (m_parser.isSet(m_check))
        m_mode = Mode::Check;
    else if (m_parser.isSet(m_exportTable)) {
        m_mode = Mode::ExportTable;
        m_positional.prepend(m_parser.value(m_exportTable));
    }
    else
        m_mode = Mode::Window;
}

QString CommandLine::errorText() const
{
    return QString::fromLatin1(kProgram) + QStringLiteral(": ") + m_parser.errorText() + QLatin1Char('\n') + helpText();
}

QString CommandLine::versionText()
{
    return QString::fromLatin1(kProgram) + QLatin1Char(' ') + QStringLiteral(TESSARIC_VERSION) + QLatin1Char('\n');
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QFile::decodeName(argv[i]);
    return list;
}

} // namespace app
