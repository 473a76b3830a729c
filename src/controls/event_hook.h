#pragma once
// Handlers for widget events that Qt has no signal for: a field losing the focus (the old
// LostFocus handlers), a click on a read-only field.
#include <QEvent>
#include <QObject>

#include <functional>

class QWidget;

// Runs fn after every `type` event of w (a left-button release for MouseButtonRelease); the
// event goes on to the widget. The hook lives as long as the widget.
void onEvent(QWidget* w, QEvent::Type type, std::function<void()> fn);

inline void onFocusOut(QWidget* w, std::function<void()> fn) { onEvent(w, QEvent::FocusOut, std::move(fn)); }
inline void onClick(QWidget* w, std::function<void()> fn) { onEvent(w, QEvent::MouseButtonRelease, std::move(fn)); }
