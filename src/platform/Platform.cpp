#include "Platform.h"

#include <stdexcept>

namespace tokotoko {

Platform::Platform(Services services)
    : m_services(std::move(services)) {
    if (!m_services.clipboard || !m_services.sound || !m_services.speech ||
        !m_services.inputMethod || !m_services.keys || !m_services.clock || !m_services.dialogs ||
        !m_services.launcher || !m_services.app || !m_services.announcer)
        throw std::invalid_argument("Platform: every service must be given");
}

} // namespace tokotoko
