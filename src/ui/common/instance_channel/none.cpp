// Without Qt Network (the Qt for Windows the project builds with leaves it out) there is no channel: the
// lock file still keeps a second copy of a folder from running, but a second start cannot bring the
// running copy to the front and ends.
#include "ui/common/single_instance.h"

namespace vantor::ui {

void SingleInstance::listen() {}

bool SingleInstance::activateRunningCopy() {
    return false;
}

} // namespace vantor::ui
