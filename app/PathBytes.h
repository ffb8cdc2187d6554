#pragma once
// File names are bytes and need not be UTF-8; Qt holds them as text, where a
// byte that is not UTF-8 becomes U+FFFD and the name becomes another name.
// These take a path back from Qt without losing the bytes it stood for.

#include <QString>

#include <string>

class QUrl;

namespace app {

// The path a file dialog gave back, as bytes. A dialog shows a suggested name
// that is not UTF-8 with U+FFFD in it; when the user keeps the suggestion
// (as given or made absolute), its own bytes are meant.
std::string chosenPath(const QString& chosen, const std::string& suggested);

// A local file URL's path as bytes: %XX escapes that are not UTF-8 are bytes of
// the name (QUrl::toLocalFile would turn them into U+FFFD).
std::string localPathOf(const QUrl& url);

} // namespace app
