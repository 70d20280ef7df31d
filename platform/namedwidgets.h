#pragma once

#include <QPushButton>
#include <QString>

// Widgets are found by their component name (captions, tests): every window makes them here.
template <typename W> W* makeNamed(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A push button that Return in an edit does not press.
inline QPushButton* makeButton(QWidget* parent, const char* name, const QString& text)
{
    auto* b = makeNamed<QPushButton>(parent, name);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}
