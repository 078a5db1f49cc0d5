#pragma once

#include <QtGlobal>

// While one lives, file permissions bind the calling thread as they bind an ordinary user, also
// when the tests run as root (CI does): root's rights to ignore them are set aside and given back
// at the end. Read-only files and folders then behave in a test as they do on a user's machine.
class EnforcedPermissions final
{
public:
    EnforcedPermissions();
    ~EnforcedPermissions();
    Q_DISABLE_COPY_MOVE(EnforcedPermissions)

    // Whether permissions bind now (false only where the rights could not be set aside).
    bool active() const { return m_active; }

private:
    quint32 m_setAside = 0;
    bool m_active = false;
};
