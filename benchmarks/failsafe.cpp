// Linked into every benchmark program: an error that nothing caught ends the program with its
// reason and exit status 1, instead of a bare abort from std::terminate.
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {
[[noreturn]] void failed()
{
    const char* why = "unknown error";
    try {
        if (std::exception_ptr e = std::current_exception())
            std::rethrow_exception(e);
    } catch (const std::exception& e) {
        why = e.what();
    } catch (...) {}
    std::fprintf(stderr, "benchmark failed: %s\n", why);
    std::fflush(stdout);
    std::_Exit(1);
}

const bool installed = [] {
    std::set_terminate(failed);
    return true;
}();
} // namespace
