#pragma once
#include <iosfwd>
#include <memory>

#include "mesh/mesh_part.h"
#include "render/vector3.h"

// The scene's centre piece: three mesh parts read from the same mesh text,
// arranged as one upright triangle and driven as one.
class Model {
public:
    static constexpr int kPartCount = 3;

    Model();
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Each part reads the whole text from a reset, rewound stream.
    void load(std::istream& in);
    // MeshPart::compileFaces for each part, once the context is current.
    void compileFaces();
    void draw();

    void setTexture(unsigned int texture);
    void setTranslucent(bool translucent);
    void setAlpha(float value);
    void fade(float delta);
    void setSpin(bool on);
    float getAlpha() const { return alpha; }
    void setPosition(const Vector3& value) { position = value; }
    Vector3 getPosition() const { return position; }
    const MeshPart& getPart(int index) const { return parts[index]; }

private:
    float alpha;
    Vector3 position;
    std::unique_ptr<MeshPart[]> parts;
};
