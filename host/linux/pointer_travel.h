#pragma once

// The full-screen show's rule for the pointer, as the saver has it: the show
// ends once the pointer is more than 4 pixels, summed over x and y, from
// where it was first seen. Small jitters of a desk or a mouse let it run.
class PointerTravel {
public:
    // Takes a pointer position (in one coordinate space for the whole run);
    // true once it lies beyond the threshold. The first position is the start.
    bool endsShow(double x, double y);

private:
    bool started = false;
    double startX = 0.0;
    double startY = 0.0;
};
