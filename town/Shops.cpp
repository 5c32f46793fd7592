#include "town/Shops.h"

const ShopValues_S Event_1011_C::kValues = {"starfire.dat", "Weapon_Shop", "WeaponShop",
                                            "Welcome to Starfire Swords!  Who seeks my services today?"};
const ShopValues_S Event_1012_C::kValues = {"imperial.dat", "Weapon_Shop", "WeaponShop",
                                            "Welcome to Imperial Weapons!  Who seeks my services today?"};
const ShopValues_S Event_1013_C::kValues = {"valor.dat", "Weapon_Shop", "WeaponShop",
                                            "Welcome to Arms of Valor!  Who seeks my services today?"};
const ShopValues_S Event_1014_C::kValues = {"shop.dat", "Store", "GenStore",
                                            "Welcome to my General Store!  Who seeks my services today?"};
const ShopValues_S Event_1017_C::kValues = {"landru.dat", "Landrus", "Landru",
                                            "Welcome to Landru's Craft Supply!  Who seeks my services today?"};
