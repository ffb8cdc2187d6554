#pragma once
// Opens a document in the desktop's default application for its type (the
// word processor for .rtf), as the desktop's file manager would.

#include "export/DocumentOpener.h"

namespace exporting {

class DesktopDocumentOpener : public DocumentOpener {
public:
    bool open(const std::string& path) override;
};

} // namespace exporting
