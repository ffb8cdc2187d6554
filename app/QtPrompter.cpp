#include "app/QtPrompter.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace app {

namespace {

constexpr const char* kVokFilter = "Vok files (*.vok)";
constexpr const char* kVokSuffix = "vok";

std::optional<QString> runFileDialog(QFileDialog& dialog)
{
    dialog.setNameFilter(QString::fromLatin1(kVokFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(kVokSuffix));
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() <= QChar('.'))
        return message;
    return message + QLatin1Char('.');
}

void QtPrompter::showError(const QString& text)
{
    QMessageBox::critical(m_owner, QString::fromLatin1(kAppTitle), errorBoxText(text));
}

void QtPrompter::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok, m_owner);
    box.exec();
}

Prompter::Answer QtPrompter::ask(const QString& text, const QString& caption)
{
    const auto button = QMessageBox::warning(m_owner, caption, text,
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                             QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool QtPrompter::confirm(const QString& text)
{
    return QMessageBox::warning(m_owner, QString::fromLatin1(kAppTitle), text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No)
           == QMessageBox::Yes;
}

Prompter::RecoveryAnswer QtPrompter::askRecovery(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), text, QMessageBox::NoButton, m_owner);
    QPushButton* open = box.addButton(QStringLiteral("Open"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(open);
    box.setEscapeButton(later); // closing the box decides nothing
    box.exec();
    if (box.clickedButton() == open)
        return RecoveryAnswer::Open;
    return box.clickedButton() == discard ? RecoveryAnswer::Discard : RecoveryAnswer::Later;
}

std::optional<QString> QtPrompter::chooseOpenPath()
{
    QFileDialog dialog(m_owner, QStringLiteral("Open Dialogue"));
    dialog.setObjectName(QStringLiteral("OpenDialogue"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name of a missing file is accepted
    return runFileDialog(dialog);
}

std::optional<QString> QtPrompter::chooseSavePath(const QString& preset)
{
    QFileDialog dialog(m_owner, QStringLiteral("Save Dialogue"), QDir::currentPath());
    dialog.setObjectName(QStringLiteral("SaveDialogue"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!preset.isEmpty())
        dialog.selectFile(preset);
    return runFileDialog(dialog);
}

} // namespace app
