// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kiv_doc.h"

bool CKivDoc::OnNewDocument() { return m_map.LoadPictures(); }
