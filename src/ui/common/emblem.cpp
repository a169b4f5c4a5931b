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
    EnsureResources();
    return QIcon(QString::fromLatin1(kEmblemPath));
}

} // namespace vantor::ui
