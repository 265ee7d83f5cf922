// The question the TCP/IP service asks before it searches: the address of the
// machine whose sessions are wanted, typed into the framework's input dialog.
// An empty answer searches the local network.
#pragma once

void AskHostAddress(char* address, int size);
