// The data checker's view of scene loading: every failed unit (LoadDiagnostics) and every entity
// made, with the element it came from.
#pragma once

#include "base/LoadDiagnostics.h"

class IEntity;
class IScene;

class LoadObserver : public LoadDiagnostics {
public:
    // `entity` was made and loaded from `element`.
    virtual void loaded(const TiXmlElement* element, IEntity* entity) = 0;
};

// The load observer of the scene an entity loads into: null without one, and for an entity loaded
// outside any scene.
LoadObserver* loadObserverOf(const IScene* scene);
