#include "formlookup.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

bool isClass(const QWidget* w, const QString& name)
{
    return QString::fromLatin1(w->metaObject()->className()).compare(name, Qt::CaseInsensitive) ==
           0;
}

} // namespace

QWidget* FindFormByClassName(const QString& name)
{
    // topLevelWidgets() has no stable order; the window list is in creation order.
    const QWindowList windows = QGuiApplication::topLevelWindows();
    QWidgetList tops = QApplication::topLevelWidgets();
    const auto rank = [&windows](QWidget* w) {
        const qsizetype i = w->windowHandle() ? windows.indexOf(w->windowHandle()) : -1;
        return i < 0 ? windows.size() : i;
    };
    std::stable_sort(tops.begin(), tops.end(),
                     [&rank](QWidget* a, QWidget* b) { return rank(a) < rank(b); });

    for (QWidget* top : tops) {
        if (qobject_cast<QMdiSubWindow*>(top))
            continue;
        if (isClass(top, name))
            return top;
        for (QMdiArea* area : top->findChildren<QMdiArea*>()) {
            for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
                if (sub->widget() && isClass(sub->widget(), name))
                    return sub->widget();
            }
        }
    }
    return nullptr;
}
