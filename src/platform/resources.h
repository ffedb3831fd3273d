#pragma once
// The library's embedded files (table definitions, icons). A static library's
// resources must be registered by hand before first use.
void initResources();
