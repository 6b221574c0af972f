// The placement tree's storage, shared by its modules: nodes and entries
// from the tree's pool, removed entries on a free list.
#pragma once
#include <cstdint>

#include "place/pltree.h"

struct PlTreeEntry {
    PlTreeEntry* next;
    int16_t owner;
    int16_t obstacle;
    int16_t layer;
    int32_t x1, y1, x2, y2;
};

struct PlTreeNode {
    int32_t cx, cy;
    int32_t x1, y1, x2, y2;
    PlTreeNode* child[4];
    int32_t count;
    PlTreeEntry* head;
};

struct PlTreeState {
    int32_t pool;
    PlTreeNode* root;
    PlTreeEntry* freeList;
};

extern PlTreeState g_plTree;

// Builds the tree when there is none.
void PlTreeEnsure();
// Inserts or removes one entry by its key at the node its box leads to.
void PlTreeInsert(int32_t owner, int32_t obstacle, int32_t layer, int32_t cls, int32_t x1,
                  int32_t y1, int32_t x2, int32_t y2);
void PlTreeRemove(int32_t owner, int32_t obstacle, int32_t cls, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2);
// A new root over the design extent (in the open pool).
PlTreeNode* PlTreeNewRoot();
// Adds every obstacle, read through the journal, to the current root.
void PlTreeAddAll();
