#pragma once

#include <QObject>
#include <QString>

namespace Pw {

// Gives a control the name tests find it by and returns it, so that a control is made and
// named in one statement.
template<typename T>
T *named(T *object, const char *name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

} // namespace Pw
