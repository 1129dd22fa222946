// gui/ layer 2 of 2: a fixture of the include-order check.
#pragma once
