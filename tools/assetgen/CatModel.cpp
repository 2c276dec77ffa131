#include "CatModel.h"

#include "CatRig.h"
#include "ColladaWriter.h"

void writeCatModel(const std::string& path) {
    ColladaWriter writer;
    writer.addMesh("cushion", MeshBuilder::fromSurfaces(catrig::cushionParts()), "pillow_512.png");
    writer.addMesh("tail", MeshBuilder::fromSurfaces(catrig::tailParts()), "cat_tail_256.png");
    writer.addMesh("eyes", MeshBuilder::fromSurfaces(catrig::eyeParts()), "cat_eyes_256.png");
    writer.addMesh("body", MeshBuilder::fromSurfaces(catrig::bodyParts()), "cat_body_512.png");
    writer.save(path);
}
