#pragma once

// What a window below the shell may ask of the program's frame and login, without knowing them.
// The shell installs the one implementation; until it has, every request does nothing.
class FrameAccess
{
public:
    virtual ~FrameAccess() = default;

    // The frame shown, brought forward and no longer minimised (loaded first when needed).
    virtual void showFrame() = 0;
    // The frame closed as its close button does: the program goes on in the tray.
    virtual void closeFrame() = 0;
    // The login window shown, so the program starts again there.
    virtual void showLogin() = 0;

    // The installed implementation, or one that does nothing.
    static FrameAccess& get();
    static void install(FrameAccess* access);
};
