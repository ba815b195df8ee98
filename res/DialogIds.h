#pragma once
// Control ids of the dialog templates.
