#pragma once
// placeholder: replaced by the synthesiser
