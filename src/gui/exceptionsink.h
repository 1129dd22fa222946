// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// The exception sink: where every window procedure of the library, and every
// other callback the system makes into it, hands an exception, since none may
// unwind into user32. The application installs its own (it shows the message
// and the program goes on); until one is installed, the message is shown in an
// error box. Components that install callbacks of their own (a hook, a window
// of their own) call HandleWindowException from their catch blocks too.
#pragma once

class TObject;

// Gets the exception being handled (call std::current_exception or rethrow it);
// Sender is the object whose callback it escaped, or null. Must not throw.
using TExceptionSink = void (*)(TObject* Sender);

// Installs Sink for every thread (null: the error box) and returns the one it replaces.
TExceptionSink SetExceptionSink(TExceptionSink Sink);

// Call from a catch block: hands the current exception to the sink. Never throws.
void HandleWindowException(TObject* Sender);
