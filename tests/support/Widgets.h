#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

// The child widget of `parent` named `name`. A missing one fails the test with its name and
// ends it (GoogleTest reports the exception), instead of a crash on a null pointer.
template <class T> T* enfant(const QObject* parent, const char* name) {
    T* w = parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!w) {
        const std::string quoi = std::string("no child named ") + name + " of the type asked for";
        ADD_FAILURE() << quoi;
        throw std::runtime_error(quoi);
    }
    return w;
}
