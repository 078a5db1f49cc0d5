#include "enforcedpermissions.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Overriding read, write and search permissions, and acting as the owner of any file.
constexpr quint32 kOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool capabilities(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool setCapabilities(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

EnforcedPermissions::EnforcedPermissions()
{
    __user_cap_data_struct data[2]{};
    if (!capabilities(data))
        return;
    m_setAside = data[0].effective & kOverrides;
    if (m_setAside == 0) {
        m_active = true; // an ordinary user: permissions bind already
        return;
    }
    data[0].effective &= ~m_setAside;
    m_active = setCapabilities(data);
    if (!m_active)
        m_setAside = 0;
}

EnforcedPermissions::~EnforcedPermissions()
{
    if (m_setAside == 0)
        return;
    __user_cap_data_struct data[2]{};
    if (capabilities(data)) {
        data[0].effective |= m_setAside;
        setCapabilities(data);
    }
}
