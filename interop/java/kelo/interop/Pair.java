package kelo.interop;

import java.io.Serializable;

/** Two teams, which ValuesService.twice makes the same object (Java writes the second as 'R'). */
public class Pair implements Serializable {
  private static final long serialVersionUID = 1L;
  public Team left;
  public Team right;
}
