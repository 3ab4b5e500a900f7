// Object records and their registry.
#pragma once

struct human_being;

void InitHumanRegistry();
