// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/bundle_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>

#include <optional>

#include "app/main_frame.h"
#include "dialogs/game_files.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/settings.h"
#include "platform/text_file.h"
#include "session/save_bundle.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

namespace {

constexpr const char* kSuffix = "velcor";

QString Reason(const std::string& reason) { return shown::Text(platform::ReasonWords(reason)); }

} // namespace

BundleFiles::BundleFiles(CMainFrame& frame, CKivView& view) : QObject(&frame), m_frame(frame), m_view(view)
{
    QMenu* file = frame.FileMenu();
    m_export = new QAction(file);
    m_import = new QAction(file);
    file->insertAction(frame.FileMenuTail(), m_export);
    file->insertAction(frame.FileMenuTail(), m_import);
    connect(m_export, &QAction::triggered, this, &BundleFiles::ChooseExport);
    connect(m_import, &QAction::triggered, this, &BundleFiles::ChooseImport);
    connect(file, &QMenu::aboutToShow, this, &BundleFiles::UpdateActions);
    connect(&view.Game(), &GameController::turnDescribed, this, &BundleFiles::UpdateActions);
    frame.installEventFilter(this);
    Retranslate();
    UpdateActions();
}

QString BundleFiles::UnpackedSavePath(const QString& bundlePath)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/bundles/") +
           QFileInfo(bundlePath).completeBaseName() + QStringLiteral(".txt");
}

bool BundleFiles::Export(const QString& bundlePath, QString* why)
{
    const std::string target = platform::PathToBytes(bundlePath);
    if (const std::string refusal = platform::WriteRefusal(target); !refusal.empty()) {
        *why = tr("書き出せませんでした\n%1\n%2").arg(bundlePath, Reason(refusal));
        return false;
    }
    // The game is saved as a save is, with its companions, then bundled from there.
    const QString savePath = UnpackedSavePath(bundlePath);
    QDir().mkpath(QFileInfo(savePath).absolutePath());
    QString saveWhy;
    if (!m_view.Game().SaveGame(savePath, &saveWhy)) {
        *why = tr("書き出せませんでした\n%1\n%2").arg(bundlePath, saveWhy);
        return false;
    }
    std::string bytes;
    std::string reason;
    if (!bundle::BundleSave(platform::PathToBytes(savePath), bytes, &reason) ||
        !platform::WriteTextAtomically(target, bytes, &reason)) {
        *why = tr("書き出せませんでした\n%1\n%2").arg(bundlePath, Reason(reason));
        return false;
    }
    return true;
}

bool BundleFiles::Import(const QString& bundlePath, QString* why)
{
    std::string bytes;
    std::string reason;
    platform::Message words;
    const QString savePath = UnpackedSavePath(bundlePath);
    QDir().mkpath(QFileInfo(savePath).absolutePath());
    if (!platform::ReadWholeFile(platform::PathToBytes(bundlePath), bytes, nullptr, &reason, bundle::kMaxBundleSize))
        words = platform::ReasonWords(reason);
    else if (bundle::Unpack(bytes, platform::PathToBytes(savePath), &words))
        return m_view.Files().LoadGame(savePath);
    *why = tr("読み込めませんでした\n%1\n%2").arg(bundlePath, shown::Text(words));
    return false;
}

QString BundleFiles::AskPath(bool save)
{
    QFileDialog dialog(&m_frame);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("ﾊﾞﾝﾄﾞﾙ (*.velcor)"), QCoreApplication::translate("FileDialog", "All Files (*)")});
    dialog.setDefaultSuffix(QLatin1String(kSuffix));
    QString folder = platform::settings::LastGameFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(folder.isEmpty() ? QDir::homePath() : folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    platform::settings::SetLastGameFolder(QFileInfo(path).absolutePath());
    return path;
}

void BundleFiles::ChooseExport()
{
    if (!m_view.Game().CanSave())
        return;
    const QString path = AskPath(true);
    QString why;
    if (path.isEmpty())
        return;
    if (!Export(path, &why))
        platform::ShowMessageBox(&m_frame, why);
    else
        platform::ShowMessageBox(&m_frame, tr("書き出しが完了しました"));
}

void BundleFiles::ChooseImport()
{
    if (!m_view.Game().CanStartGame() || !m_view.Files().MayLeaveGame())
        return;
    const QString path = AskPath(false);
    QString why;
    if (!path.isEmpty() && !Import(path, &why) && !why.isEmpty())
        platform::ShowMessageBox(&m_frame, why);
}

void BundleFiles::UpdateActions()
{
    m_export->setEnabled(m_view.Game().CanSave());
    m_import->setEnabled(m_view.Game().CanStartGame());
}

void BundleFiles::Retranslate()
{
    m_export->setText(tr("ﾊﾞﾝﾄﾞﾙに書き出し(&U)..."));
    m_import->setText(tr("ﾊﾞﾝﾄﾞﾙを読み込み(&I)..."));
}

bool BundleFiles::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
