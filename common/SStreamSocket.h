// The receive side of a non-blocking stream socket, as the line reader needs it.
// The platform's socket class implements it; tests feed the reader through
// scripted implementations.
#pragma once

class SStreamSocket {
public:
    virtual ~SStreamSocket() = default;
    // Copies at most `size` waiting bytes into `buffer`. Returns the count, 0
    // once the peer has closed and everything was read, and -1 when nothing is
    // waiting or on an error.
    virtual int Recv(char* buffer, int size) = 0;
};
