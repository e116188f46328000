#pragma once

// Makes the bundled sample data reachable under ":/" (it lives in a static library, so it is
// registered by hand before first use).
void initDataResources();
