#pragma once
// Opens a web address in the user's browser. The about dialog goes through
// this so that tests can see what would be opened.

#include <QUrl>

namespace ui {

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Starts opening `url`; the outcome is not reported.
    virtual void open(const QUrl& url) = 0;
};

// The desktop's own way: QDesktopServices, whose failure is ignored.
class DesktopLinkOpener final : public LinkOpener {
public:
    void open(const QUrl& url) override;
};

} // namespace ui
