#pragma once

class QByteArray;
class QString;

// Keeps the password out of core dumps and away from other processes of the same user
// (ptrace, /proc/<pid>/mem). Does nothing where the platform offers no such switch.
void markProcessPrivate();

// Overwrites the text's whole buffer, the unused capacity included, and leaves it empty. A
// buffer still shared with other copies cannot be wiped from here: it is only released.
void secureClear(QString& text);
void secureClear(QByteArray& bytes);
