#include "TableTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

namespace tabletest {
namespace {

constexpr int kToolTimeoutMs = 120000;

QByteArray run(const QString& program, const QStringList& args, QString* error)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = program + " failed: " + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    return process.readAllStandardOutput();
}

struct TextStyle {
    QString colour;
    bool bold = false;
};

} // namespace

std::vector<QStringList> readCsvWithPython(const QString& path, QString* error)
{
    static const QString script = QStringLiteral(
        "import csv, json, sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
        "    print(json.dumps(list(csv.reader(f))))\n");
    const QByteArray json = run(QStringLiteral("python3"), {"-c", script, path}, error);
    std::vector<QStringList> records;
    for (const QJsonValue& record : QJsonDocument::fromJson(json).array()) {
        QStringList fields;
        for (const QJsonValue& field : record.toArray())
            fields << field.toString();
        records.push_back(fields);
    }
    return records;
}

OdtText readOdtWithPython(const QString& path, QString* error)
{
    static const QString script = QStringLiteral(
        "import json, sys, zipfile, xml.etree.ElementTree as ET\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "assert z.testzip() is None and z.namelist()[0] == 'mimetype'\n"
        "for name in ('META-INF/manifest.xml', 'styles.xml'): ET.fromstring(z.read(name))\n"
        "T = '{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'\n"
        "B = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'\n"
        "body = ET.fromstring(z.read('content.xml')).find('.//{urn:oasis:names:tc:opendocument:xmlns:office:1.0}text')\n"
        "text = lambda e: ''.join(e.itertext())\n"
        "lines = []\n"
        "for e in body:\n"
        "    if e.tag == T + 'p': lines.append(text(e))\n"
        "    else: lines += [' | '.join(text(c) for c in r.iter(B + 'table-cell')) for r in e.iter(B + 'table-row')]\n"
        "print(json.dumps([z.getinfo('content.xml').file_size, lines]))\n");
    const QJsonArray result = QJsonDocument::fromJson(run(QStringLiteral("python3"), {"-c", script, path}, error)).array();
    OdtText odt;
    odt.contentSize = result.at(0).toInteger();
    for (const QJsonValue& line : result.at(1).toArray())
        odt.lines << line.toString();
    return odt;
}

std::vector<QString> pdfPages(const QString& path, QString* error)
{
    const QString text = QString::fromUtf8(run(QStringLiteral("pdftotext"), {"-layout", "-enc", "UTF-8", path, "-"}, error));
    std::vector<QString> pages;
    for (const QString& page : text.split(QChar('\f')))
        pages.push_back(page);
    if (!pages.empty() && pages.back().trimmed().isEmpty())
        pages.pop_back(); // pdftotext ends the last page with a form feed too
    return pages;
}

bool libreOfficeInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

std::vector<OdtTable> readTablesWithLibreOffice(const QString& path, const QString& workDir, QString* error)
{
    QStringList args{"--headless", "-env:UserInstallation=" + QUrl::fromLocalFile(workDir + "/lo").toString()};
    if (path.endsWith(".html"))
        args << "--infilter=HTML (StarWriter)"; // the word processor, as a user opening it to edit
    args << "--convert-to" << "fodt" << "--outdir" << workDir << path;
    run(QStandardPaths::findExecutable(QStringLiteral("soffice")), args, error);
    QFile fodt(workDir + "/" + QFileInfo(path).completeBaseName() + ".fodt");
    if (!fodt.open(QIODevice::ReadOnly)) {
        *error += " no flat ODT written";
        return {};
    }

    QMap<QString, TextStyle> styles;
    QString style;
    std::vector<OdtTable> tables;
    OdtCell* cell = nullptr;
    bool inParagraph = false; // the layout between paragraphs is not text
    QXmlStreamReader xml(fodt.readAll());
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.isStartElement() && name == u"style:style") {
            style = a.value("style:name").toString();
        } else if (xml.isStartElement() && name == u"style:text-properties") {
            styles[style] = {a.value("fo:color").toString(), a.value("fo:font-weight") == u"bold"};
        } else if (xml.isStartElement() && name == u"table:table") {
            tables.emplace_back();
        } else if (xml.isStartElement() && name == u"table:table-row") {
            tables.back().emplace_back();
        } else if (xml.isStartElement() && name == u"table:table-cell") {
            tables.back().back().emplace_back();
            cell = &tables.back().back().back();
        } else if (xml.isEndElement() && name == u"table:table-cell") {
            cell = nullptr;
        } else if (cell && xml.isStartElement() && (name == u"text:p" || name == u"text:span")) {
            inParagraph = true;
            const auto found = styles.find(a.value("text:style-name").toString());
            if (found != styles.end() && (!found->colour.isEmpty() || found->bold)) {
                cell->colour = found->colour;
                cell->bold = found->bold;
            }
        } else if (cell && xml.isStartElement() && name == u"text:s") {
            cell->text += QString(std::max(1, a.value("text:c").toInt()), QChar(' '));
        } else if (xml.isEndElement() && name == u"text:p") {
            inParagraph = false;
        } else if (cell && inParagraph && xml.isCharacters()) {
            cell->text += xml.text();
        }
    }
    return tables;
}

} // namespace tabletest
