// A fixture of the include-order check whose header forgot its layer.
#pragma once
