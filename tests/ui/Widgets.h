// The dialogs keep their widgets to themselves; a test reaches one by its
// object name, as the forms name every widget after its member.
#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QInputMethodQueryEvent>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

// The child of `parent` named `name` that is a T. A missing one (or one of
// another type, which findChild does not see) fails the test there and
// then, with the name, instead of a null pointer further on.
template <class T>
T* Child(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromUtf8(name));
  if (!child) {
    const std::string what = std::string("no ") + T::staticMetaObject.className() + " named \"" + name +
                             "\" in " + parent.objectName().toStdString();
    ADD_FAILURE() << what;
    throw std::logic_error(what);
  }
  return child;
}

// Whether `box` takes the input method, asked as the platform asks it.
inline bool ImEnabled(QObject* box) {
  QInputMethodQueryEvent query(Qt::ImEnabled);
  QCoreApplication::sendEvent(box, &query);
  return query.value(Qt::ImEnabled).toBool();
}
