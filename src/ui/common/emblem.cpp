#include "ui/common/emblem.h"

// Resources of a static library must be registered by name, outside any namespace.
static void InitEmblemResources() {
    Q_INIT_RESOURCE(emblem);
}

namespace vantor::ui {

namespace {
const char* const kEmblemPath = ":/vantor/emblem.png";

void EnsureResources() {
    static const bool registered = [] {
        InitEmblemResources();
        return true;
    }();
    (void)registered;
}
} // namespace

QPixmap EmblemPixmap() {
    EnsureResources();
    return QPixmap(QString::fromLatin1(kEmblemPath));
}

QIcon EmblemIcon() {
    // Decoded once: the application and the main window both take the icon at start-up, and a QIcon made
    // from a file decodes the whole picture at once. Kept until the process ends, as a pixmap must not
    // outlive the application object in a static destructor.
    static const QIcon* const icon = [] {
        EnsureResources();
        return new QIcon(QString::fromLatin1(kEmblemPath));
    }();
    return *icon;
}

} // namespace vantor::ui
