// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kiv_doc.h"

#include "model/country_file.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "view/shown_text.h"

bool CKivDoc::OnNewDocument()
{
    if (!m_map.LoadPictures())
        return false;
    for (Country& c : GameState::countries)
        c.SetRuler(0);
    for (RulerInfo& r : GameState::rulers)
        r.SetColour(kBlankColour);
    BuildRulerTable();
    return true;
}

bool CKivDoc::LoadCountryFile(const QString& path, CountryFileUse use, QWidget* parent)
{
    const LoadOutcome outcome = ::LoadCountryFile(platform::PathToBytes(path), use);
    if (outcome.status == LoadStatus::Loaded)
        return true;
    platform::ShowMessageBox(parent, shown::Text(outcome.words));
    return false;
}

bool CKivDoc::SaveCountryFile(const QString& path, int turnCursor, QString* error)
{
    std::string reason;
    if (::SaveCountryFile(platform::PathToBytes(path), turnCursor, &reason))
        return true;
    if (error)
        *error = QString::fromStdString(reason);
    return false;
}
