#include "app/CommandLine.h"

#include <string_view>

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
                    QStringLiteral("Write DESIGN.vok as a table in FORMAT (odt, html, pdf, csv or md), or its flow "
                                   "diagram as an SVG picture (svg), to OUT (by default beside it, with the format's "
                                   "extension) and exit, without a window."),
                    QStringLiteral("FORMAT")),
      m_check(QStringLiteral("check"),
              QStringLiteral("Check DESIGN.vok without a window: print one line per design matrix (uncoupled, "
                             "decoupled with the order, coupled groups, or incomplete) and per missing label. Exit "
                             "status 0 when all is well, 2 when something is reported, 1 when the file cannot be "
                             "read.")),
      m_diff(QStringLiteral("diff"),
             QStringLiteral("Compare OLD.vok with NEW.vok without a window: print one line per change (rows added, "
                            "removed, moved or relabelled, titles, matrix cells and classes, ranges, notes, level "
                            "styles) in row order. Exit status 0 when the designs are the same, 1 when they "
                            "differ, 2 when a file cannot be read. Also takes the seven arguments of a git diff "
                            "driver."))
{
    m_parser.setApplicationDescription(
        QStringLiteral("Tessaric Design Tool: functional requirements, design parameters and process variables, "
                       "decomposed side by side."));
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_exportRtf);
    m_parser.addOption(m_exportTable);
    m_parser.addOption(m_check);
    m_parser.addOption(m_diff);
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
    else if (m_parser.isSet(m_diff))
        m_mode = Mode::Diff;
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

namespace {

// Length of the valid UTF-8 sequence at the start of `bytes`, 0 when there is none.
int utf8Length(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80)
        return 1;
    const int length = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || length > static_cast<int>(bytes.size()))
        return 0;
    char32_t c = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = c >= kShortest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    return valid ? length : 0;
}

// A byte that is not UTF-8 becomes a lone low surrogate U+DC80..U+DCFF, which
// no decoded text holds, so fileNameOf() gives the byte back.
constexpr char16_t kByteEscape = 0xDC00;

QString decodeArgument(std::string_view bytes)
{
    QString text;
    while (!bytes.empty()) {
        const int length = utf8Length(bytes);
        if (length > 0)
            text += QString::fromUtf8(bytes.data(), length);
        else
            text += QChar(static_cast<char16_t>(kByteEscape | static_cast<unsigned char>(bytes[0])));
        bytes.remove_prefix(static_cast<std::size_t>(length > 0 ? length : 1));
    }
    return text;
}

} // namespace

QStringList argumentsOf(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << decodeArgument(argv[i]);
    return list;
}

std::string fileNameOf(const QString& argument)
{
    std::string bytes;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const char16_t c = argument[i].unicode();
        if (c >= (kByteEscape | 0x80) && c <= (kByteEscape | 0xFF)) {
            bytes += static_cast<char>(c & 0xFF);
            continue;
        }
        const qsizetype units = QChar::isHighSurrogate(c) && i + 1 < argument.size() ? 2 : 1;
        bytes += QStringView(argument).mid(i, units).toUtf8().toStdString();
        i += units - 1;
    }
    return bytes;
}

} // namespace app
