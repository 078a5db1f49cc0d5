//+------------------------------------------------------------------+
//| QuentaraFeed.mq5                                                 |
//| Appends every closed one-minute bar of a symbol to               |
//| MQL5\Files\quentara-feed\<server code>.csv, one bar a line:      |
//|   2024.05.14 10:06:00,1.08120,1.08130,1.08110,1.08125,123        |
//| (bar open time in the broker's clock, open, high, low, close,    |
//| tick volume), for quentara-server's terminal source.             |
//+------------------------------------------------------------------+
#property copyright "Quentara"
#property version   "1.00"

input string InpServerCode  = "usdrub"; // Server code of the instrument: the file's name
input string InpSymbol      = "";       // Symbol to follow; empty: the chart's symbol
input int    InpHistoryBars = 2000;     // Closed bars written first into a new file

int      g_file = INVALID_HANDLE;
datetime g_lastWritten = 0; // open time of the last bar in the file

string FeedSymbol()
{
   return InpSymbol == "" ? _Symbol : InpSymbol;
}

// The file may be read by the server while it is open here; opening it for reading and
// writing keeps what it holds.
bool OpenFeed()
{
   g_file = FileOpen("quentara-feed\\" + InpServerCode + ".csv",
                     FILE_READ | FILE_WRITE | FILE_SHARE_READ | FILE_TXT | FILE_ANSI);
   if(g_file == INVALID_HANDLE)
     {
      Print("QuentaraFeed: cannot open quentara-feed\\", InpServerCode, ".csv, error ", GetLastError());
      return false;
     }
   // The last line tells where the file ends, so that a restart fills the gap and repeats nothing.
   while(!FileIsEnding(g_file))
     {
      string line = FileReadString(g_file);
      if(StringLen(line) >= 19)
        {
         datetime time = StringToTime(StringSubstr(line, 0, 19));
         if(time > g_lastWritten)
            g_lastWritten = time;
        }
     }
   FileSeek(g_file, 0, SEEK_END);
   return true;
}

string BarLine(const string symbol, const int shift)
{
   int digits = (int)SymbolInfoInteger(symbol, SYMBOL_DIGITS);
   return TimeToString(iTime(symbol, PERIOD_M1, shift), TIME_DATE | TIME_SECONDS) + "," +
          DoubleToString(iOpen(symbol, PERIOD_M1, shift), digits) + "," +
          DoubleToString(iHigh(symbol, PERIOD_M1, shift), digits) + "," +
          DoubleToString(iLow(symbol, PERIOD_M1, shift), digits) + "," +
          DoubleToString(iClose(symbol, PERIOD_M1, shift), digits) + "," +
          IntegerToString(iVolume(symbol, PERIOD_M1, shift)) + "\n";
}

// Writes the closed bars (bar 1 and older) that the file does not hold yet, oldest first.
void WriteNewBars()
{
   if(g_file == INVALID_HANDLE)
      return;
   string symbol = FeedSymbol();
   datetime closed = iTime(symbol, PERIOD_M1, 1);
   if(closed == 0 || closed <= g_lastWritten)
      return;
   int oldest = 1;
   int limit = (int)MathMin(InpHistoryBars, iBars(symbol, PERIOD_M1) - 1);
   while(oldest < limit && iTime(symbol, PERIOD_M1, oldest + 1) > g_lastWritten)
      oldest++;
   for(int shift = oldest; shift >= 1; shift--)
     {
      datetime time = iTime(symbol, PERIOD_M1, shift);
      if(time == 0 || time <= g_lastWritten)
         continue;
      // FileWriteString puts CR before the LF in a text file.
      FileWriteString(g_file, BarLine(symbol, shift));
      g_lastWritten = time;
     }
   FileFlush(g_file);
}

int OnInit()
{
   if(!OpenFeed())
      return INIT_FAILED;
   WriteNewBars();
   // Ticks of another symbol than the chart's do not reach OnTick.
   EventSetTimer(1);
   return INIT_SUCCEEDED;
}

void OnDeinit(const int reason)
{
   EventKillTimer();
   if(g_file != INVALID_HANDLE)
      FileClose(g_file);
   g_file = INVALID_HANDLE;
}

void OnTick()
{
   WriteNewBars();
}

void OnTimer()
{
   WriteNewBars();
}
