// Idle detection: the own status turns Away while the user is away from the
// machine. Its timer and sources come with the idle detector; sign-in and
// the saved preferences already ask for it here.
#include "AppController.h"

namespace parley::shell {

void AppController::setIdleTimer() {}

} // namespace parley::shell
