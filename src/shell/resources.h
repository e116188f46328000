#pragma once

// Makes the bundled icons reachable under ":/" (they live in a static library, so they are
// registered by hand before first use).
void initResources();
