#pragma once
// Commands that change the books (Add..., Deposit..., Import Trips..., Save): while the books open
// are shared books that the user's role on the server may only read, every such command of every
// window is unavailable as the window is shown, so that a reviewer never starts a change the
// server would refuse.

class QWidget;

namespace halvo {

void markWritesBooks(QWidget* command);

// Marks a command as one that changes the books; the command itself, for chaining.
template <class Command>
Command* writesBooks(Command* command)
{
    markWritesBooks(command);
    return command;
}

// Whether the commands marked are held back from now on (the books opened may only be read).
void holdBackWritingCommands(bool readOnly);

} // namespace halvo
