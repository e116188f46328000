#pragma once

// Makes the bundled icons and sample data reachable under ":/" (they live in a static library,
// so they are registered by hand before first use).
void initResources();
