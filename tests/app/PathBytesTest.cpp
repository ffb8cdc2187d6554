// Paths that come back from Qt (a file dialog, a dropped URL) keep the bytes
// of a name that is not UTF-8.
#include "app/PathBytes.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

TEST(PathBytes, ADialogThatKeepsTheSuggestionGivesItsBytesAndAnyOtherChoiceItsOwn)
{
    const std::string latin1 = "/d/caf\xe9.vok";
    const std::string relative = "caf\xe9.vok";
    const struct {
        QString chosen;
        std::string suggested;
        std::string expected;
    } cases[] = {
        {QFile::decodeName(latin1.c_str()), latin1, latin1},                              // kept as shown
        {QDir::current().absoluteFilePath(QFile::decodeName(relative.c_str())), relative, relative}, // made absolute
        {QStringLiteral("/d/other.vok"), latin1, "/d/other.vok"},                         // another name
        {QString::fromUtf8("/d/caf\xc3\xa9.vok"), latin1, "/d/caf\xc3\xa9.vok"},           // é typed as text
        {QStringLiteral("/d/new.vok"), "", "/d/new.vok"},                                 // nothing suggested
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::chosenPath(c.chosen, c.suggested), c.expected) << c.chosen.toStdString();
}

TEST(PathBytes, AFileUrlGivesTheBytesItsEscapesStandFor)
{
    EXPECT_EQ(app::localPathOf(QUrl::fromEncoded("file:///d/caf%E9.vok")), "/d/caf\xe9.vok");
    EXPECT_EQ(app::localPathOf(QUrl::fromEncoded("file:///d/caf%C3%A9%20x.vok")), "/d/caf\xc3\xa9 x.vok");
    EXPECT_EQ(app::localPathOf(QUrl::fromLocalFile(QStringLiteral("/d/100% pump.vok"))), "/d/100% pump.vok");
}

} // namespace
