// libFuzzer target for the XML loaders that need no GL context: any bytes parsed as an XML
// document, every attribute value given to the colour parser, and the document's root loaded as
// a base scene and as a game scene. Data errors must come out as the engine's exceptions; a
// crash, a hang or a sanitizer report is a finding.
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "game/PellvaneGameScene.h"
#include "scene/BaseScene.h"
#include "base/Colour.h"

namespace {
constexpr std::size_t kMaxInput = 1 << 14;

void everyAttribute(const TiXmlElement* element) {
    for (; element != nullptr; element = element->NextSiblingElement()) {
        for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
            try {
                parseColour(a->ValueStr());
            } catch (const BaseException&) {
            }
        }
        everyAttribute(element->FirstChildElement());
    }
}

template <class Scene> void loadAs(TiXmlElement* root) {
    try {
        std::unique_ptr<Scene> scene;
        if constexpr (std::is_constructible_v<Scene, const SceneContext&>)
            scene = std::make_unique<Scene>(SceneContext{});
        else
            scene = std::make_unique<Scene>(SceneContext{}, GameServices{});
        scene->load(TiXmlHandle(root));
    } catch (const BaseException&) {
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TiXmlDocument document;
    document.Parse(text.c_str());
    TiXmlElement* root = document.RootElement();
    everyAttribute(root);
    loadAs<BaseScene>(root);
    loadAs<PellvaneGameScene>(root);
    return 0;
}
