// The reference of every attribute the data can set, written from the declarations the loaders
// read through: the section "Every attribute" of docs/data-format.md is this text, so the docs
// cannot drift from what the game reads.
#pragma once

#include <string>

class EntityRegistry;

// Markdown: one table per element (the files' own, then every scene, entity and settings element
// the registry's types bring), a row per attribute with its kind, range, default and what it does.
std::string settingsReference(const EntityRegistry& registry);
