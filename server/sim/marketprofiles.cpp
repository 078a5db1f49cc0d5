#include "sim/marketprofiles.h"

#include <array>

namespace {

// clang-format off
constexpr std::array kProfiles{
    MarketProfile{"audcad", 0.90500, 5, 0.0050},
    MarketProfile{"audchf", 0.58500, 5, 0.0055},
    MarketProfile{"audjpy", 97.500, 3, 0.0070},
    MarketProfile{"audnzd", 1.09000, 5, 0.0040},
    MarketProfile{"audusd", 0.66000, 5, 0.0060},
    MarketProfile{"cadjpy", 108.000, 3, 0.0060},
    MarketProfile{"chfjpy", 170.000, 3, 0.0060},
    MarketProfile{"euraud", 1.64000, 5, 0.0055},
    MarketProfile{"eurcad", 1.48000, 5, 0.0045},
    MarketProfile{"eurchf", 0.95000, 5, 0.0040},
    MarketProfile{"eurgbp", 0.85500, 5, 0.0035},
    MarketProfile{"eurjpy", 161.000, 3, 0.0060},
    MarketProfile{"eurnzd", 1.79000, 5, 0.0055},
    MarketProfile{"eurrub", 98.5000, 4, 0.0100},
    MarketProfile{"eurusd", 1.08500, 5, 0.0045},
    MarketProfile{"gbpaud", 1.92000, 5, 0.0060},
    MarketProfile{"gbpchf", 1.12000, 5, 0.0050},
    MarketProfile{"gbpjpy", 191.000, 3, 0.0070},
    MarketProfile{"gbpusd", 1.27000, 5, 0.0050},
    MarketProfile{"gbpnzd", 2.09000, 5, 0.0060},
    MarketProfile{"nzdcad", 0.83000, 5, 0.0050},
    MarketProfile{"nzdchf", 0.53500, 5, 0.0055},
    MarketProfile{"nzdjpy", 89.500, 3, 0.0070},
    MarketProfile{"nzdusd", 0.60500, 5, 0.0060},
    MarketProfile{"usdjpy", 150.500, 3, 0.0055},
    MarketProfile{"usdcad", 1.36500, 5, 0.0040},
    MarketProfile{"usdchf", 0.88000, 5, 0.0050},
    MarketProfile{"usdrub", 91.0000, 4, 0.0100},
    MarketProfile{"crypto-btc", 62000.00, 2, 0.030},
    MarketProfile{"crypto-eth", 3100.00, 2, 0.035},
    MarketProfile{"crypto-bnb", 560.00, 2, 0.035},
    MarketProfile{"crypto-sol", 145.00, 2, 0.050},
    MarketProfile{"crypto-xrp", 0.5200, 4, 0.040},
    MarketProfile{"crypto-ada", 0.4500, 4, 0.045},
    MarketProfile{"crypto-avax", 35.00, 2, 0.050},
    MarketProfile{"crypto-doge", 0.15000, 5, 0.055},
    MarketProfile{"crypto-trx", 0.12000, 5, 0.030},
    MarketProfile{"crypto-link", 14.500, 3, 0.050},
    MarketProfile{"crypto-dot", 7.000, 3, 0.045},
    MarketProfile{"crypto-matic", 0.7000, 4, 0.050},
    MarketProfile{"crypto-ton", 6.500, 3, 0.050},
    MarketProfile{"crypto-uni", 9.500, 3, 0.055},
    MarketProfile{"crypto-shib", 0.00002300, 8, 0.060},
    MarketProfile{"copper", 4.3000, 4, 0.014},
    MarketProfile{"gold", 2300.00, 2, 0.010},
    MarketProfile{"gas", 2.500, 3, 0.035},
    MarketProfile{"brent", 83.00, 2, 0.018},
    MarketProfile{"wti", 79.00, 2, 0.019},
    MarketProfile{"silver", 27.000, 3, 0.018},
    MarketProfile{"cac40", 7950.00, 2, 0.009},
    MarketProfile{"dax", 18200.00, 2, 0.009},
    MarketProfile{"dow30", 38500.00, 2, 0.008},
    MarketProfile{"ftse100", 8100.00, 2, 0.008},
    MarketProfile{"hangseng", 17500.00, 2, 0.014},
    MarketProfile{"ibex35", 11000.00, 2, 0.010},
    MarketProfile{"nikkei225", 38500.00, 2, 0.012},
    MarketProfile{"sp500", 5200.00, 2, 0.009},
    MarketProfile{"apple", 185.00, 2, 0.015},
    MarketProfile{"facebook", 480.00, 2, 0.022},
    MarketProfile{"google", 165.00, 2, 0.018},
    MarketProfile{"dxy", 105.000, 3, 0.0035},
    MarketProfile{"exy", 107.500, 3, 0.0040},
};
// clang-format on

} // namespace

const MarketProfile *marketProfile(const QString &serverCode)
{
    for (const MarketProfile &profile : kProfiles) {
        if (serverCode == QLatin1String(profile.serverCode))
            return &profile;
    }
    return nullptr;
}
