// SPDX-License-Identifier: GPL-3.0-or-later
// The ﾌｧｲﾙ menu's bundles: the game in play written as one file with what a save keeps
// beside it (the chronicle, the difficulty, the seats, the record), and such a file
// opened as the same game. A bundle opened is unpacked into the program's own folder
// (never beside the player's saves) and loaded from there as a save.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class CKivView;
class CMainFrame;
class QAction;

class BundleFiles : public QObject {
    Q_OBJECT

public:
    BundleFiles(CMainFrame& frame, CKivView& view);

    // The two commands without their dialogs; false, with why for the player, when
    // nothing was done (the game in play and the files there are as they were).
    bool Export(const QString& bundlePath, QString* why);
    bool Import(const QString& bundlePath, QString* why);

    // Where a bundle named bundlePath is unpacked to be loaded: the save's path.
    static QString UnpackedSavePath(const QString& bundlePath);

    // The items added to the ﾌｧｲﾙ menu.
    QList<QAction*> MenuItems() const { return {m_export, m_import}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseExport();
    void ChooseImport();
    QString AskPath(bool save);
    void UpdateActions();
    void Retranslate();

    CMainFrame& m_frame;
    CKivView& m_view;
    QAction* m_export = nullptr;
    QAction* m_import = nullptr;
};
