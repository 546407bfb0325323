#pragma once
// The Alt+letter keys of a window: every menu, and the labels, buttons, boxes and tabs shown
// together, must each have a letter of their own, or Alt+letter reaches the wrong control.
#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace marlix::test {

inline QChar MnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// "letter: first, second" for each letter two texts share.
inline void AddClashes(const QList<QString>& texts, const QString& where, QStringList& clashes) {
    QMap<QChar, QString> seen;
    for (const QString& text : texts) {
        const QChar key = MnemonicOf(text);
        if (key.isNull()) continue;
        if (seen.contains(key))
            clashes << QStringLiteral("%1: %2 / %3 (%4)").arg(key).arg(seen[key], text, where);
        else
            seen.insert(key, text);
    }
}

inline void AddMenuClashes(const QMenu& menu, QStringList& clashes) {
    QList<QString> texts;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible() || action->isSeparator()) continue;
        texts << action->text();
        if (action->menu()) AddMenuClashes(*action->menu(), clashes);
    }
    AddClashes(texts, menu.title(), clashes);
}

inline QStringList MnemonicClashes(QWidget& window) {
    QStringList clashes;
    QList<QString> texts;
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* action : bar->actions()) {
            texts << action->text();
            if (action->menu()) AddMenuClashes(*action->menu(), clashes);
        }
    }
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || qobject_cast<QMenu*>(widget->window())) continue;
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
        if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
    }
    AddClashes(texts, window.windowTitle(), clashes);
    return clashes;
}

// The labels of controls that Tab reaches, the buttons (but the button box's: Enter, Escape, F1)
// and the checkable groups of a dialog that no Alt+letter reaches; "<" names no letter to press.
inline QStringList WithoutMnemonic(QWidget& dialog) {
    QStringList missing;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        auto* group = qobject_cast<QGroupBox*>(w);
        const QString text = label && label->buddy() && (label->buddy()->focusPolicy() & Qt::TabFocus)
                                 ? label->text()
                             : button && !qobject_cast<QDialogButtonBox*>(w->parentWidget()) ? button->text()
                             : group && group->isCheckable()                                 ? group->title()
                                                                                             : QString();
        if (w->isVisibleTo(&dialog) && text.contains(QRegularExpression(QStringLiteral("\\w"))) &&
            MnemonicOf(text).isNull())
            missing << text;
    }
    return missing;
}

} // namespace marlix::test
