#pragma once

// The view's projection: 45 degrees vertically, near 0.1, far 100, aspect
// width / height (a height of 0 counts as 1). Leaves the modelview matrix
// current. InitScene sets it once; a host whose drawable changes size sets
// it again (with the viewport), while the scene's positions and sizes stay.
void SetViewProjection(int width, int height);
